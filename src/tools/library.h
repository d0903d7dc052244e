#pragma once
// The pattern and brush libraries: folders of JPEG files numbered 1 to n
// without gaps ("1.jpg", "2.jpg", ...), and the picture of their thumbnails
// that the library boxes show, two to a row.

#include <string>
#include <vector>

#include "doc/canvas.h"
#include "doc/workspace.h"

namespace pixora {

class TLibrary {
public:
    // `folder` ends with '/'.
    explicit TLibrary(std::string folder);

    const std::string& Folder() const { return folder_; }
    // n: the files matching "*.jpg" that are not folders, counted afresh.
    int Count() const;
    std::string PathOf(int k) const;

    // Reads entry k (any picture format the program reads) as 32 bits.
    // Throws ECodecError.
    Bitmap Load(int k) const;
    // Stores an image as the next number (JPEG, 24 bits, quality 100): n + 1,
    // or the next free number above it should that name be taken, so that no
    // file is ever written over. Returns the number. Throws ECodecError.
    int Add(const Bitmap& image) const;
    // Deletes entry k (1..n) and renames k + 1 .. n to k .. n - 1 in
    // increasing order. False (nothing changed) for any other k or when the
    // file cannot be deleted.
    bool Remove(int k) const;

private:
    std::string folder_;
};

inline constexpr int kLibraryThumb = 100;     // thumbnails fit 100 x 100
inline constexpr int kLibraryRowHeight = 120; // two entries to a row

// The thumbnails' picture with the cell of every entry (entry k is
// Cells[k - 1]) and the entry chosen.
struct TLibraryPicture {
    Bitmap Picture;
    std::vector<TRect> Cells;
    int Selected = 0;
};

// Draws every entry's thumbnail (fit into 100 x 100, never enlarged) into
// its cell: odd entries in the left column from (10, r x 120 + 10), even
// ones in the right column from (130, ...); the picture is `width` wide and
// 120 pixels high per row. Entries that cannot be read are listed in
// `failures` (their messages) and their cells stay empty.
TLibraryPicture DrawLibrary(const TLibrary& library, int width, std::vector<std::string>& failures);

// The entry whose cell holds (x, y), or 0.
int EntryAt(const TLibraryPicture& p, int x, int y);
// Chooses entry k: every cell's old frame is painted out, every cell gets
// a black border, and k a black frame 5 pixels wide around it. Other
// values of k change nothing.
void ChooseEntry(TLibraryPicture& p, int k);

// The size a thumbnail of a w x h picture gets.
TSize LibraryThumbSize(int w, int h);

} // namespace pixora
