#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// Creates the suite's components by programmatic identifier, as a late-bound
// caller does. The components are QObjects whose members are reached by name
// (see LateBound.h). Components registered in the program come first; then
// the files registered for the user (UserComponentRegistry.h). An
// identifier found in neither, or whose file is missing or cannot be
// loaded, raises error 429.
class ComponentRegistry
{
public:
    using Factory = std::function<QObject *()>;

    static void registerComponent(const QString &progId, Factory factory);
    static void unregisterComponent(const QString &progId);
    // Registered in the program itself.
    static bool isRegistered(const QString &progId);
    // Registers unless something is registered under the identifier already
    // (a host's own component, a test's stand-in).
    static void provide(const QString &progId, Factory factory);
    // The caller owns what it gets; error 429 when the identifier is unknown
    // (a debug build also warns, naming it).
    static std::unique_ptr<QObject> create(const QString &progId);
};
