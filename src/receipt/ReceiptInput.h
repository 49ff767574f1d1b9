#pragma once

class QLineEdit;

// Before a save writes anything: whether the description and the amount can
// be stored exactly as typed. When not, the cashier is told which box and
// why (title "اشكال"), the box gets the focus with the part in question
// selected, and the answer is false; nothing is cut or changed silently.
//  - the description, blanks around it removed as the save removes them,
//    holds no more characters than the procedures' @Description takes;
//  - the amount is not a number beyond the range of an amount;
//  - for a final receipt (finalReceipt), the description also holds no
//    control character (a pasted line break or tab), which the database
//    would keep but no print or search shows. A draft may hold one.
bool receiptInputStorable(QLineEdit *description, QLineEdit *amount, bool finalReceipt);
