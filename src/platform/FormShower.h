#pragma once

#include <functional>

class QWidget;

// Showing forms, modal or modeless, through one seam (a test puts a modal
// hook in the nested loop's stead: platform/Seams.h).
namespace FormShower {

// Shows the form and returns when it is hidden or closed.
void showModal(QWidget *form);
// Shows the form and returns at once. Raises error 406 when the host does
// not allow modeless windows of a component.
void showModeless(QWidget *form, bool hostAllowsModeless);

// How many modal shows are under way (a hook counts while it runs).
int modalDepth();

} // namespace FormShower
