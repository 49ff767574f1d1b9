#pragma once

#include <functional>

class QWidget;

// Showing forms, modal or modeless, through one seam. Tests install a modal
// hook: it is called instead of a nested event loop when a form is shown
// modally, acts on the form, and hides it, so nothing blocks.
namespace FormShower {

// Shows the form and returns when it is hidden or closed.
void showModal(QWidget *form);
// Shows the form and returns at once. Raises error 406 when the host does
// not allow modeless windows of a component.
void showModeless(QWidget *form, bool hostAllowsModeless);

using ModalHook = std::function<void(QWidget *form)>;
void setModalHook(ModalHook hook);
// How many modal shows are under way (a hook counts while it runs).
int modalDepth();

} // namespace FormShower
