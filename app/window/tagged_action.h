#pragma once
// Actions and menu items carry a Tag word: a mode or a one-shot flag that a
// caller sets around a call (see TagScope).
#include <QAction>

namespace pc {

class TaggedAction : public QAction {
public:
    using QAction::QAction;
    int Tag = 0;
};

// Sets a Tag for one call and puts the old value back, also on exceptions.
class TagScope {
public:
    TagScope(int& tag, int value) : tag_(tag), old_(tag) { tag_ = value; }
    ~TagScope() { tag_ = old_; }
    TagScope(const TagScope&) = delete;
    TagScope& operator=(const TagScope&) = delete;

private:
    int& tag_;
    int old_;
};

} // namespace pc
