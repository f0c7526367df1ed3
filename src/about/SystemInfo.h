// Locating and starting the system-information tool through the system registry.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace reelkeep {

class DesktopServices;

/// A registry root as the system numbers it: a 32-bit handle such as HKEY_LOCAL_MACHINE.
using RegistryRoot = quint32;
/// An open key; wide enough for the system's own key handles.
using RegistryKey = quintptr;

inline constexpr RegistryRoot HKeyLocalMachine = 0x80000002;
/// The access asked for when a key is opened to read a value.
inline constexpr quint32 KeyAccessMask = 0x2003F;

/// The value types the About box understands; every other type is read but ignored.
enum class RegistryValueType : quint32
{
    Text = 1,
    Number = 4,
};

/// The few registry operations that reading one value needs. Texts are UTF-16, two bytes a
/// character, as the registry holds them.
class Registry
{
public:
    virtual ~Registry() = default;

    /// Opens subKey under root; nothing when the key does not exist or cannot be opened.
    virtual std::optional<RegistryKey> openKey(RegistryRoot root, const QString& subKey, quint32 access) = 0;
    /// Reads value valueName into buffer, whose size is the room given. On success sets type and
    /// size (the bytes written); false when the value is missing or does not fit.
    virtual bool queryValue(
        RegistryKey key, const QString& valueName, quint32& type, QByteArray& buffer, quint32& size) = 0;
    virtual void closeKey(RegistryKey key) = 0;
};

/// The registry of a system that has none: no key exists, so every open fails. This is exactly
/// what such a system answers, and it leads the About box to its "unavailable" notice.
class AbsentRegistry : public Registry
{
public:
    std::optional<RegistryKey> openKey(RegistryRoot, const QString&, quint32) override
    {
        return std::nullopt;
    }
    bool queryValue(RegistryKey, const QString&, quint32&, QByteArray&, quint32&) override { return false; }
    void closeKey(RegistryKey) override {}
};

/// The registry of the platform the program runs on: the Windows registry on Windows, an
/// AbsentRegistry elsewhere.
Registry& systemRegistry();

/// Room for a value, in characters.
inline constexpr int KeyValueBufferLength = 1024;

/// Reads value SubKeyRef of key KeyName under KeyRoot into KeyVal. A text value gives its text
/// without one terminating zero; a number gives its decimal text; any other type leaves KeyVal
/// as it was. Returns false, with KeyVal empty, when the key or the value cannot be read.
bool GetKeyValue(Registry& registry,
                 RegistryRoot KeyRoot,
                 const QString& KeyName,
                 const QString& SubKeyRef,
                 QString& KeyVal);

/// Starts the system-information tool where the registry says it is, or tells the user that
/// it is unavailable.
void StartSysInfo(Registry& registry, DesktopServices& desktop);

} // namespace reelkeep
