// Controls that keep their distances to given edges of their parent when the
// parent is resized, as the fixed pixel layout of the forms asks.
#pragma once

#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

class Anchors {
public:
    // The control at its designed place, held to the given edges.
    void Add(QWidget *control, Qt::Edges edges);
    // Takes each parent's size as the reference for its controls; call once
    // the window is laid out (a tab page never shown takes the size of its
    // page area).
    void Capture();
    // Moves and stretches the controls of a resized parent.
    void Apply(QWidget *parent) const;

private:
    struct Anchor {
        QWidget *control;
        Qt::Edges edges;
        QRect design;
        QSize reference;
    };
    std::vector<Anchor> anchors_;
};
