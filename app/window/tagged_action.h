#pragma once
// Actions and menu items carry a Tag word: a mode or a one-shot flag that a
// caller sets around a call (see TagScope).
#include <QAction>

#include "platform/scoped_value.h"

namespace pc {

class TaggedAction : public QAction {
public:
    using QAction::QAction;
    int Tag = 0;
};

// Sets a Tag for one call and puts the old value back, also on exceptions.
using TagScope = ScopedValue<int>;

} // namespace pc
