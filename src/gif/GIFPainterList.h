#pragma once
// TGIFPainterList: the painters that draw one picture, with the picture's lock. The picture holds one;
// when it goes, every painter still in the list is detached from it (stopped, without touching the
// picture again), so no painter outlives the picture with a link to it.

#include <mutex>
#include <vector>

class TGIFPainter;

class TGIFPainterList {
public:
    TGIFPainterList() = default;
    ~TGIFPainterList();
    TGIFPainterList(const TGIFPainterList&) = delete;
    TGIFPainterList& operator=(const TGIFPainterList&) = delete;

    // The picture's lock: held while the list or a painter's back-reference is changed.
    std::recursive_mutex& Lock() { return FLock; }
    void Add(TGIFPainter* Painter);
    void Remove(TGIFPainter* Painter);
    int Count() const;
    // A copy of the list, safe to walk while painters leave it.
    std::vector<TGIFPainter*> Painters() const;

    // Starts (or resumes) every painter.
    void PaintStart();
    // Stops every painter, last to first; each leaves the list as it ends.
    void PaintStop();
    // Pauses every animating painter at its next wait.
    void PaintPause();
    void PaintResume() { PaintStart(); }
    // Every painter begins again at frame 0.
    void PaintRestart();

private:
    bool Contains(TGIFPainter* Painter) const;
    mutable std::recursive_mutex FLock;
    std::vector<TGIFPainter*> FPainters;
};
