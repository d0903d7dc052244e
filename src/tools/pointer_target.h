#pragma once
// Where the view hands its pointer events, in image pixels. The tool set is
// the one target; a test may put a recorder in its place.

namespace pixora {

class PointerTarget {
public:
    virtual ~PointerTarget() = default;
    // button: 0 left, 1 right, 2 middle.
    virtual void Down(int x, int y, int button) = 0;
    virtual void Move(int x, int y) = 0;
    virtual void Up(int x, int y) = 0;
    // A double click on the image (its second click arrives as a Down too).
    virtual void DoubleClick() = 0;
};

} // namespace pixora
