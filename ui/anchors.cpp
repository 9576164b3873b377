#include "ui/anchors.h"

#include <QStackedWidget>
#include <QWidget>

void Anchors::Add(QWidget *control, Qt::Edges edges)
{
    anchors_.push_back({control, edges, control->geometry(), QSize()});
}

void Anchors::Capture()
{
    for (Anchor &anchor : anchors_) {
        QWidget *parent = anchor.control->parentWidget();
        const auto *stack = qobject_cast<QStackedWidget *>(parent->parentWidget());
        anchor.reference = stack ? stack->size() : parent->size();
    }
}

void Anchors::Apply(QWidget *parent) const
{
    for (const Anchor &anchor : anchors_) {
        if (anchor.control->parentWidget() != parent || !anchor.reference.isValid())
            continue;
        const int dw = parent->width() - anchor.reference.width();
        const int dh = parent->height() - anchor.reference.height();
        QRect place = anchor.design;
        if (anchor.edges & Qt::RightEdge) {
            if (anchor.edges & Qt::LeftEdge)
                place.setWidth(place.width() + dw);
            else
                place.translate(dw, 0);
        }
        if (anchor.edges & Qt::BottomEdge) {
            if (anchor.edges & Qt::TopEdge)
                place.setHeight(place.height() + dh);
            else
                place.translate(0, dh);
        }
        anchor.control->setGeometry(place);
    }
}
