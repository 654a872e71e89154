#pragma once

#include "ui/pane/engine/element_chain.h"

#include <QTextCharFormat>

// The elements a run of text is written in (dom_export): the run's own
// chain, less pure formatting elements the pane took away, plus elements
// for formatting the pane added (<font face=...>, <strong>, ...).
// blockBase is the format the block's elements give its text.
TElementChain RunElements(TElementChain chain, const QTextCharFormat& actual,
                          const QTextCharFormat& blockBase);

// An element or attribute made up on the way out (id 0), for formatting
// added in the pane.
TElementRef MadeElement(const QString& tag, QList<TDomAttribute> attributes = {});
TDomAttribute MadeAttribute(const QString& name, const QString& value);
