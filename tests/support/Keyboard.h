#pragma once

class QWidget;

// Puts the keyboard focus where a user's click would: shows the widget's
// window, makes it the active window and focuses the widget. Returns the
// widget that has the focus then (the one real key events go to), or null
// when the window could not be activated.
QWidget *focusInto(QWidget *widget);

class QString;
// Types any text, one key press and release per character, as a keyboard
// layout of that script would (QTest's own helpers know Latin keys only).
void typeText(QWidget *focused, const QString &text);

#include <functional>

// Acts on the modal window the next call shows, as soon as it is up, as the
// user would; a call that shows none fails the test.
void whenShown(std::function<void(QWidget *)> act);
