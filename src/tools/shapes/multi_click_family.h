#pragma once
// The multi-click shapes: the bezier curve (three press-release cycles make
// one curve and one history step) and the polygon chain (every segment its
// own step; a right-button press ends the chain). Their state between
// clicks is the tool record's BezierStage, BezierPoints and PolygonOpen,
// which choosing another tool does not reset.
//
// StagedClicks and ChainClicks are the two click sequences; on their own
// they keep the sequence and draw nothing. A leaf that draws derives from
// MultiClickShape<StagedClicks> or MultiClickShape<ChainClicks> and, like
// every shape (shape_family.h), implements DrawShape only:
//   - StagedClicks, BezierStage counting completed clicks:
//       stage 0: press puts BezierPoints 0..2 on the press point; moves put
//                points 3 and 2 on the pointer and preview; release: stage 1;
//       stage 1: press and moves put point 1 on the pointer and preview;
//                release: stage 2;
//       stage 2: press and moves put point 2 on the pointer and preview;
//                release: stage 0 and the curve is committed.
//     The releases of stages 0 and 1 leave the view as it is. Presses of
//     stages 1 and 2 continue the step: no snapshot, no stroke base copy,
//     no step name. DrawShape draws through shape.Points.Curve.
//   - ChainClicks: a press while the chain is open previews the segment
//     (DownX, DownY) -> pointer, otherwise it opens the chain at the press
//     point; a right-button press closes the chain afterwards. Moves
//     preview the segment; the release commits it and the next segment
//     starts at the release point. DrawShape draws From -> To.
// Previews and commits are PreviewShape and CommitShape of shape_family.h
// (open shapes: pen only).

#include "tools/shapes/shape_family.h"

namespace pixora {

class MultiClickFamily : public Tool {
protected:
    // What a member draws of the shape so far: a preview on the view, and
    // the commit into the image. Without a drawing rule, nothing.
    virtual void Preview(ToolContext&, const TShapePoints&) {}
    virtual void Commit(ToolContext&, const TShapePoints&) {}
};

class StagedClicks : public MultiClickFamily {
public:
    void Press(ToolContext& c, int x, int y) override { Point(c, x, y, true); }
    void Move(ToolContext& c, int x, int y) override { Point(c, x, y, false); }
    void Release(ToolContext& c, int x, int y) override;
    bool ContinuesStep(const ToolContext& c) const override;
    // A curve half made when the image is replaced (an undo, another tab)
    // is dropped: its stroke base belongs to the image that was there.
    void BeforeImageReplaced(Workspace& ws) override { ws.ToolVars.BezierStage = 0; }
    // Escape drops the curve under way, whatever its stage.
    bool Cancel(ToolContext& c, bool held) override;

private:
    void Point(ToolContext& c, int x, int y, bool press);
    static TShapePoints Curve(const ToolContext& c);
};

class ChainClicks : public MultiClickFamily {
public:
    void Press(ToolContext& c, int x, int y) override;
    void Move(ToolContext& c, int x, int y) override;
    void Release(ToolContext& c, int x, int y) override;
    // Escape ends the chain; the segment being dragged is dropped, the
    // segments already committed stay.
    bool Cancel(ToolContext& c, bool held) override;

private:
    static TShapePoints Segment(const ToolContext& c, int x, int y);
};

// A multi-click sequence that draws: previews and commits its shape.
template <class Clicks> class MultiClickShape : public Clicks, public ShapeRule {
public:
    explicit MultiClickShape(const TCommitRules& rules) : rules_(rules) {}

protected:
    void Preview(ToolContext& c, const TShapePoints& p) override { PreviewShape(c, *this, {}, p, shown_); }
    void Commit(ToolContext& c, const TShapePoints& p) override { CommitShape(c, *this, {}, p, rules_); }

private:
    const TCommitRules& rules_;
    TRect shown_{}; // where the last preview lies on the view
};

} // namespace pixora
