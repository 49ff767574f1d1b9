#pragma once

// The suite database's fixed identifiers: form types, rights (the numbers
// spOmberHasPermission checks), action-log events, system parameters and
// object classes. Every layer names them from here; the receipt form's
// statements whose text is fixed keep their numbers as written.
namespace ids {

// Form types (FormTypeID, RelatedFormTypeID) --------------------------------
constexpr int FormCashReceipt = 206;      // receipts, their documents, action log, templates, history
constexpr int FormCashPayment = 207;      // a payment from a cash box (another form's rows in the ledger)
constexpr int RelatedFormRemovable = 901; // a link to a receipt that its deletion removes

// Document types (an accounting document row's @DocumentTypeID) --------------
constexpr int DocumentCashReceipt = 17; // the document a final receipt gets

// Rights (tblOmberPermission) -----------------------------------------------
constexpr int RightCashReceiptForm = 206;     // open the cash receipt form
constexpr int RightCreateReceipt = 20601;     // New
constexpr int RightEditReceipt = 20602;       // Edit, and the final-edit menu
constexpr int RightDeleteReceipt = 20603;     // Delete
constexpr int RightSearchReceipts = 20604;    // the search form
constexpr int RightChangeAfterClose = 20606;  // edit a receipt of a closed turn
constexpr int RightDeleteAfterClose = 20607;  // delete a receipt of a closed turn
constexpr int RightAccountingDocument = 110;  // the accounting document (Lidmar)
constexpr int RightChartOfAccounts = 120;     // the chart of accounts (Mosker)
constexpr int RightAddAccount = 12001;        //   add an account
constexpr int RightRenameAccount = 12002;     //   change an account's title
constexpr int RightRemoveAccount = 12003;     //   remove an account
constexpr int RightCashTurns = 205;           // the cash turns (Senvo)
constexpr int RightOpenTurn = 20501;          //   open a turn
constexpr int RightCloseOwnTurn = 20502;      //   close one's own turn
constexpr int RightCloseAnyTurn = 20503;      //   close anyone's; see an open turn's balances
constexpr int RightCashLedger = 209;          // the cash ledger (Rulane)

// Action-log events (spOmberInsertFormAction's @EventID) ---------------------
constexpr int EventReceiptCreated = 20601;
constexpr int EventReceiptEdited = 20602;
constexpr int EventReceiptDeleted = 20603;
constexpr int EventReceiptEditedAfterClose = 20604; // the final-edit mode's save

// System parameters (tblOmberSystemParameters.ID) ---------------------------
constexpr int ParamAccountRequired = 29;      // 1: a counter-party account is required
constexpr int ParamAchieverRequired = 125;    // 1: an achiever is required
constexpr int ParamAccountingDocuments = 202; // 1: final receipts get an accounting document
constexpr int ParamDetailLevelPicker = 311;   // 1: the detail-level picker is the counter-party picker
constexpr int ParamBranchRequired = 911;      // non-zero: a branch is required
constexpr int ParamAmountRequired = 3383;     // non-zero: the amount must not be 0

// Object classes (tblOmberObjectClass.ID) -----------------------------------
constexpr int ClassEmployee = 5;
constexpr int ClassOrganization = 7;
constexpr int ClassContract = 12;
constexpr int ClassCashBox = 17; // a document's first object row

} // namespace ids
