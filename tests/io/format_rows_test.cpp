// The format rows: every list the user sees comes from them, and a format
// added as one row appears in each of those lists and in the save dispatch.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "io/batch_conversion.h"
#include "io/codecs/format_rows.h"
#include "io/convert_file.h"
#include "io/file_filters.h"
#include "io/format_documents.h"
#include "io_test_support.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

// A format of four bytes' header: "DMY" and the width; every pixel is written
// as its red byte.
TSniff SniffDummy(const TFileHead& h) {
    return h.Size >= 3 && std::memcmp(h.Data, "DMY", 3) == 0 ? TSniff::Yes : TSniff::No;
}

Bitmap ReadDummy(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    if (bytes.size() < 4) throw ECodecError("short dummy");
    const int w = bytes[3];
    Bitmap b(w, 1, 32);
    for (int x = 0; x < w && 4u + x < bytes.size(); ++x)
        SetPixel(b, x, 0, bytes[4 + x], 0, 0);
    return b;
}

void WriteDummy(const std::string& path, const Bitmap& image, const SaveOptions& opts) {
    std::vector<uint8_t> bytes = {'D', 'M', 'Y', static_cast<uint8_t>(image.Width())};
    for (int x = 0; x < image.Width(); ++x)
        bytes.push_back(static_cast<uint8_t>(image.Row(0)[4 * x + 2] ^ (opts.JpegGray ? 0xFF : 0)));
    WriteBytes(path, bytes);
}

const TCodec kDummyCodec = {
    .Strength = TSniffStrength::Signature, .Sniff = SniffDummy, .Read = WithoutNotes<ReadDummy>, .Write = WriteDummy};

TFormatTable WithDummy() {
    std::vector<TFormatRow> rows = Formats().Rows();
    rows.push_back({.Name = "Dummy",
                    .Code = 90,
                    .Extensions = ".dmy;.dummy",
                    .Open = {"Dummy pictures (*.dmy)", "*.dmy;*.dummy"},
                    .Save = {20, ".dmy"},
                    .Batch = {20, ".dmy"},
                    .MimeTypes = "image/x-dummy",
                    .Codec = &kDummyCodec,
                    .Options = TSaveOptionsKind::JpegOptions,
                    .SaveHelp = "Dummy bytes."});
    return TFormatTable(std::move(rows));
}

std::string ListText(const char* name, const TFormatTable& formats) {
    std::string text;
    EXPECT_TRUE(FormatListText(name, formats, text)) << name;
    return text;
}

} // namespace

TEST(FormatRows, OneNewRowReachesEveryListAndTheSaveDispatch) {
    const TFormatTable formats = WithDummy();

    // Open dialog: its entry after the other formats, its patterns last in
    // "All Picture Files", which stays the filter the dialog starts with.
    const std::vector<TFileFilter> open = OpenFilters(formats);
    ASSERT_EQ(open.size(), 25u);
    EXPECT_STREQ(open[22].Caption, "Dummy pictures (*.dmy)");
    EXPECT_EQ(AllPictureFilesPosition(formats), 23);
    EXPECT_STREQ(open[23].Caption, "All Picture Files");
    const std::string all = open[23].Patterns;
    EXPECT_EQ(all.substr(all.size() - 14), ";*.dmy;*.dummy");

    // Save dialog: index 20 appends its extension and asks its options.
    const std::vector<TFileFilter> save = SaveFilters(formats);
    ASSERT_EQ(save.size(), 20u);
    EXPECT_STREQ(save[19].Caption, "Dummy pictures (*.dmy)");
    EXPECT_EQ(SaveFilterExtension(20, formats), ".dmy");
    EXPECT_EQ(SaveFilterOptions(20, formats), TSaveOptionsKind::JpegOptions);
    EXPECT_EQ(SaveFilterExtension(18, formats), ".ico"); // the icon entry keeps its place

    // Batch window.
    const std::vector<std::string> batch = BatchDestinationFormats(formats);
    ASSERT_EQ(batch.size(), 20u);
    EXPECT_EQ(batch.back(), ".dmy");
    EXPECT_EQ(BatchOptionDialogFor(".dmy", formats), TSaveOptionsKind::JpegOptions);

    // Save dispatch: the name gives the code, the code the writer with the
    // options; reading goes by the content, whatever the name.
    ScratchDir dir;
    EXPECT_EQ(formats.CodeOf(dir.File("a.DUMMY")), 90);
    Bitmap image(3, 1, 32);
    SetPixel(image, 0, 0, 10, 0, 0);
    SetPixel(image, 1, 0, 20, 0, 0);
    SetPixel(image, 2, 0, 30, 0, 0);
    SaveOptions gray;
    gray.JpegGray = true;
    formats.Write(dir.File("a.dmy"), image, formats.CodeOf(dir.File("a.dmy")), gray);
    EXPECT_EQ(ReadBytes(dir.File("a.dmy")), (std::vector<uint8_t>{'D', 'M', 'Y', 3, 0xF5, 0xEB, 0xE1}));
    std::filesystem::rename(dir.File("a.dmy"), dir.File("a.bin"));
    TReadNotes notes;
    EXPECT_EQ(formats.Read(dir.File("a.bin"), notes).Row(0)[6], 0xEB);
    // A code without a writer writes nothing, and says which format it is.
    try {
        formats.Write(dir.File("b.dmy"), image, fcOther, gray);
        ADD_FAILURE() << "written without a writer";
    } catch (const ECodecError& e) {
        EXPECT_STREQ(e.what(), "Pixora cannot write Dummy files (.dmy)");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("b.dmy")));

    // The command line: listed with what it reads and writes, and its files
    // keep their own extension when converted into a folder.
    const std::string help = FormatListHelp(formats);
    const std::size_t line = help.find("\n  Dummy ");
    ASSERT_NE(line, std::string::npos) << help;
    EXPECT_NE(help.find(".dmy .dummy", line), std::string::npos);
    EXPECT_EQ(ConvertedName("/o", "/i/a.dmy", "", formats), "/o/a.dmy");

    // The desktop files and the help page.
    EXPECT_EQ(ListText("MIME_TYPES", formats).substr(ListText("MIME_TYPES", Formats()).size()),
              "image/x-dummy;");
    EXPECT_NE(ListText("MEDIA_TYPES", formats).find("<mediatype>image/x-dummy</mediatype>"),
              std::string::npos);
    EXPECT_EQ(ListText("SAVED_NAMES", formats),
              "BMP, JPEG, GIF, PNG, TIFF, Windows icon, SGI, Autodesk Animator, Truevision Targa, ZSoft Paintbrush, "
              "Portable pixmap, Photoshop, WebP and Dummy");
    EXPECT_NE(ListText("HELP_OPEN_ROWS", formats).find("<tr><td>Dummy</td><td>.dmy, .dummy</td></tr>"),
              std::string::npos);
    EXPECT_NE(ListText("HELP_SAVE_ROWS", formats).find("<tr><td>.dmy, .dummy</td><td>Dummy bytes.</td></tr>"),
              std::string::npos);

    // The program's own table knows nothing of it.
    EXPECT_EQ(OpenFilters().size(), 24u);
    EXPECT_EQ(FormatFromExtension("a.dmy"), fcOther);
}

TEST(FormatRows, TheListsKeepTheirOwnOrders) {
    // The icon is left out of "All Picture Files", offered eighteenth when
    // saving and sixth in the batch list, where ZSoft goes by ".pcc"; WebP
    // comes last among the formats written, the photo formats only read
    // after it.
    EXPECT_STREQ(
        OpenFilters()[22].Patterns,
        "*.bmp;*.dib;*.rle;*.JPG;*.JPEG;*.JPE;*.JFIF;*.GIF;*.PNG;*.TIF;*.TIFF;*.fax;*.bw;*.rgb;*.rgba;"
        "*.sgi;*.cel;*.pic;*.tga;*.vst;*.icb;*.vda;*.win;*.pcx;*.pcc;*.scr;*.pcd;*.ppm;*.pgm;*.pbm;"
        "*.cut;*.pal;*.rla;*.rpf;*.psd;*.pdd;*.psp;*.webp;*.avif;*.heic;*.heif;*.jxl");
    std::string appended;
    for (int i = 1; i <= 19; ++i)
        appended += SaveFilterExtension(i) + "|";
    EXPECT_EQ(appended,
              ".bmp|.jpg|.gif|.png|.tif|.fax|.sgi|.pic|.tga|.pcx|.scr|.pcd|.ppm|.cut|.rla|.psd|.psp|.ico|.webp|");
    std::string batch;
    for (const std::string& ext : BatchDestinationFormats())
        batch += ext + "|";
    EXPECT_EQ(batch, ".bmp|.jpg|.gif|.png|.tif|.ico|.fax|.sgi|.pic|.tga|.pcc|.scr|.pcd|.ppm|.cut|.rla|.psd|.psp|"
                     ".webp|");
    // Options by filter index; a batch to GIF asks nothing (that dialog
    // previews one picture).
    EXPECT_EQ(SaveFilterOptions(1), TSaveOptionsKind::PixelFormat);
    EXPECT_EQ(SaveFilterOptions(2), TSaveOptionsKind::JpegOptions);
    EXPECT_EQ(SaveFilterOptions(3), TSaveOptionsKind::GifTransparency);
    EXPECT_EQ(SaveFilterOptions(4), TSaveOptionsKind::None);
    EXPECT_EQ(BatchOptionDialogFor(".gif"), TSaveOptionsKind::None);
    // Only ".bmp" of the bitmap names is written as a chosen-depth BMP.
    EXPECT_EQ(FormatFromExtension("a.dib"), fcOther);
    EXPECT_EQ(ConvertedName("/o", "/i/a.pcd"), "/o/a.bmp");
    EXPECT_EQ(ConvertedName("/o", "/i/a.tif"), "/o/a.tif");
}

TEST(FormatRows, MarkersAreFilledOrRefused) {
    std::string text = "MimeType=[[FORMAT_MIME_TYPES]]\nsaves [[FORMAT_SAVED_NAMES]].\n", error;
    ASSERT_TRUE(FillFormatMarkers(text, Formats(), error)) << error;
    EXPECT_EQ(
        text.rfind("MimeType=image/bmp;image/jpeg;image/gif;image/png;image/tiff;image/vnd.microsoft.icon;",
                   0),
        0u);
    EXPECT_NE(text.find("image/webp;image/avif;image/heic;image/heif;image/jxl;\nsaves BMP, JPEG, GIF, PNG, TIFF, Windows icon, SGI, Autodesk Animator, "
                        "Truevision Targa, ZSoft Paintbrush, Portable pixmap, Photoshop and WebP.\n"),
              std::string::npos)
        << text;
    for (const char* bad : {"x [[FORMAT_NO_SUCH]] y", "x [[FORMAT_MIME_TYPES"}) {
        std::string t = bad;
        EXPECT_FALSE(FillFormatMarkers(t, Formats(), error)) << bad;
        EXPECT_EQ(error.rfind("[[FORMAT_", 0), 0u) << error;
    }
}
