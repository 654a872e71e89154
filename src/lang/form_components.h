#pragma once

#include <QList>
#include <QObject>

class QWidget;

// What a localiser may be owned by. A form is a top-level window; a frame is a
// reusable non-window container whose class derives from one named "TFrame".
// Recognising the frame by class name keeps this library free of the window
// classes built on top of it.
bool IsForm(const QObject* object);
bool IsFrame(const QObject* object);

// The components a form owns, in design order: a depth-first walk of the
// owner's QObject tree, each object before its children, siblings in the
// order they were created (QObject::children()), the pages of a stacked or
// tab widget in page order. An object counts as a component when it has an
// objectName that does not start with "qt_" or "_q_" (Qt's own internals);
// unnamed objects are passed through to their children. Other windows inside
// the tree (dialogs, pop-up menus) are separate forms and are left out with
// everything below them. Buttons, edits, combo boxes, spin boxes and tab bars
// are leaves: their children are Qt's parts of them. A widget with the
// dynamic property "langOpaque" set to true is listed but its children are
// not: a compound control of ours keeps its parts to itself.
QList<QObject*> FormComponents(const QObject* owner);
