#pragma once
// The picture of the "Save Changes?" list: one 67-pixel row per listed
// image with a framed thumbnail and a text area that is grey while the
// image is selected.

#include <string>
#include <vector>

#include "doc/workspace.h"

namespace pixora {

inline constexpr int kSaveListRowHeight = 67;
inline constexpr int kSaveListTextRight = 300;  // right edge of a row's text area
inline constexpr int kSaveListNameLength = 36;  // characters of the file name shown

// The row whose band 67 i + 5 .. 67 i + 62 contains list height y, or -1.
int SaveListRowAt(int y, int rowCount);

// The text shown for an image: the first 36 characters of its file name
// without the folder.
std::string SaveListCaption(const std::string& fileName);

// Makes `list` width x (67 x rows) and draws every row.
void DrawSaveList(Bitmap& list, int width, const std::vector<const TImages*>& images,
                  const std::vector<bool>& selected);
// Redraws the text area of row i.
void DrawSaveListText(Bitmap& list, int row, const TImages& image, bool selected);

} // namespace pixora
