#pragma once

#include <QLatin1String>

// The programmatic identifiers components are created and registered by
// (ComponentRegistry). The sibling components' files list theirs again in
// their plugin metadata (components/NAME/NAME.json).
namespace progids {

constexpr QLatin1String MessageBox("Zintel.ZintelMSG");               // platform/ZintelMsgBox
constexpr QLatin1String FileSystem("Scripting.FileSystemObject");     // platform/FileSystemObject
constexpr QLatin1String ConnectionBuilder("Omber.ConnectionBuilder"); // platform/ConnectionBuilder
constexpr QLatin1String ReportPrinter("PirelRpt.PirelRpt1");          // report/PirelRpt
constexpr QLatin1String Control("Pardex.Pardex1");                    // host/Pardex1
constexpr QLatin1String AccountingDocument("Lidmar.Lidmar1");         // components/Lidmar
constexpr QLatin1String CashLedger("Rulane.Rulane1");                 // components/Rulane
constexpr QLatin1String CashTurns("Senvo.Senvo1");                    // components/Senvo
constexpr QLatin1String ChartOfAccounts("Mosker.Mosker1");            // components/Mosker

} // namespace progids
