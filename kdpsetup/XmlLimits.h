#pragma once

#include <QByteArray>

// Limits that keep a tiny hostile XML file from taking minutes, gigabytes or
// the stack. No hand-written package description or registry comes near.

// Characters that entity references may add to a document.
constexpr qint64 entityExpansionBudget = 1 << 20;
// Elements inside elements. The document parser's time grows with the
// square of the depth, and its recursion can overflow the stack.
constexpr int elementNestingLimit = 256;

// Whether XML may be handed to the document parser: well-formed as far as
// the stream reader can tell, no element nested deeper than
// elementNestingLimit, and its entity references can't expand it by more
// than entityExpansionBudget characters, counted before anything is
// expanded.
bool withinParseLimits(const QByteArray &xml);
