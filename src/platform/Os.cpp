#include "platform/Os.h"
#include "platform/Seams.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace Os {

namespace {
int g_versionOverride = -1;
QStringList g_requested;
} // namespace

int majorVersion()
{
    if (g_versionOverride >= 0)
        return g_versionOverride;
#ifdef Q_OS_WIN
    return int(LOBYTE(LOWORD(GetVersion())));
#else
    return 0;
#endif
}


bool activateKeyboardLayout(const QString &layoutId)
{
    g_requested << layoutId;
    if (layoutId.isEmpty())
        return false;
#ifdef Q_OS_WIN
    const HKL layout = LoadKeyboardLayoutW(reinterpret_cast<LPCWSTR>(layoutId.utf16()), KLF_ACTIVATE);
    return layout != nullptr;
#else
    return false;
#endif
}

const QStringList &requestedLayouts()
{
    return g_requested;
}

void clearRequestedLayouts()
{
    g_requested.clear();
}

} // namespace Os

void seams::setOsMajorVersion(int version)
{
    Os::g_versionOverride = version;
}
