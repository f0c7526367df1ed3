// Reading registry values and starting the system-information tool.
#include "about/SystemInfo.h"

#include "desktop/DesktopServices.h"

#include <QtEndian>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

#include <algorithm>

namespace reelkeep {

namespace {

constexpr qsizetype BytesPerCharacter = 2;

const QString SysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString SysInfoPathValue = QStringLiteral("PATH");
const QString ToolsLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString ToolsLocationValue = QStringLiteral("MSINFO");
const QString SysInfoProgram = QStringLiteral("\\MSINFO32.EXE");
const QString SysInfoUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

// The buffer cut to the size the registry reported, in whole characters, less one terminating
// zero character: a text stored with its terminator and one stored without read the same.
QByteArray cutToValue(const QByteArray& buffer, quint32 size)
{
    const qsizetype characters = std::min<qsizetype>(size, buffer.size()) / BytesPerCharacter;
    QByteArray value = buffer.left(characters * BytesPerCharacter);
    if (value.endsWith(QByteArray(BytesPerCharacter, '\0')))
        value.chop(BytesPerCharacter);
    return value;
}

QString textOf(const QByteArray& value)
{
    QString text;
    for (qsizetype i = 0; i + 1 < value.size(); i += BytesPerCharacter)
        text.append(QChar(qFromLittleEndian<quint16>(value.constData() + i)));
    return text;
}

// A number is stored least significant byte first; it is composed from its last byte to its first.
// Cutting the terminator may have taken its high zero bytes away, which leaves the number as it was.
QString numberOf(const QByteArray& value)
{
    quint32 number = 0;
    for (qsizetype i = std::min<qsizetype>(value.size(), 4) - 1; i >= 0; --i)
        number = (number << 8) | static_cast<quint8>(value.at(i));
    return QString::number(number);
}

void readValue(quint32 type, const QByteArray& value, QString& KeyVal)
{
    switch (static_cast<RegistryValueType>(type)) {
    case RegistryValueType::Text:
        KeyVal = textOf(value);
        break;
    case RegistryValueType::Number:
        KeyVal = numberOf(value);
        break;
    }
}

// Where the registry places the tool: its own path entry, or the shared tools folder when the
// tool is found there. Nothing when neither leads to it.
std::optional<QString> sysInfoPath(Registry& registry, DesktopServices& desktop)
{
    QString path;
    if (GetKeyValue(registry, HKeyLocalMachine, SysInfoKey, SysInfoPathValue, path))
        return path;
    QString folder;
    if (!GetKeyValue(registry, HKeyLocalMachine, ToolsLocationKey, ToolsLocationValue, folder))
        return std::nullopt;
    path = folder + SysInfoProgram;
    if (!desktop.fileExists(path))
        return std::nullopt;
    return path;
}

#ifdef Q_OS_WIN
// The Windows registry through the Win32 API, with texts in UTF-16.
class WindowsRegistry : public Registry
{
public:
    std::optional<RegistryKey> openKey(RegistryRoot root, const QString& subKey, quint32 access) override
    {
        // The system's root handles are 32-bit numbers sign-extended to a handle's width.
        const HKEY rootKey = reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
        const auto name = reinterpret_cast<LPCWSTR>(subKey.utf16());
        HKEY key = nullptr;
        LSTATUS status = RegOpenKeyExW(rootKey, name, 0, access, &key);
        // Machine keys refuse write rights to a standard user; reading a value needs none.
        if (status == ERROR_ACCESS_DENIED)
            status = RegOpenKeyExW(rootKey, name, 0, KEY_READ, &key);
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        return reinterpret_cast<RegistryKey>(key);
    }

    bool queryValue(
        RegistryKey key, const QString& valueName, quint32& type, QByteArray& buffer, quint32& size) override
    {
        DWORD valueType = 0;
        DWORD valueSize = static_cast<DWORD>(buffer.size());
        const LSTATUS status = RegQueryValueExW(reinterpret_cast<HKEY>(key),
                                                reinterpret_cast<LPCWSTR>(valueName.utf16()),
                                                nullptr,
                                                &valueType,
                                                reinterpret_cast<LPBYTE>(buffer.data()),
                                                &valueSize);
        if (status != ERROR_SUCCESS)
            return false;
        type = valueType;
        size = valueSize;
        return true;
    }

    void closeKey(RegistryKey key) override { RegCloseKey(reinterpret_cast<HKEY>(key)); }
};
#endif

} // namespace

Registry& systemRegistry()
{
#ifdef Q_OS_WIN
    static WindowsRegistry registry;
#else
    static AbsentRegistry registry;
#endif
    return registry;
}

bool GetKeyValue(Registry& registry,
                 RegistryRoot KeyRoot,
                 const QString& KeyName,
                 const QString& SubKeyRef,
                 QString& KeyVal)
{
    const std::optional<RegistryKey> key = registry.openKey(KeyRoot, KeyName, KeyAccessMask);
    if (!key) {
        KeyVal.clear();
        return false;
    }
    QByteArray buffer(KeyValueBufferLength * BytesPerCharacter, '\0');
    quint32 size = static_cast<quint32>(buffer.size());
    quint32 type = 0;
    const bool read = registry.queryValue(*key, SubKeyRef, type, buffer, size);
    if (read)
        readValue(type, cutToValue(buffer, size), KeyVal);
    else
        KeyVal.clear();
    registry.closeKey(*key);
    return read;
}

void StartSysInfo(Registry& registry, DesktopServices& desktop)
{
    // A path entry of an unexpected type reads as no path at all, and no path can be started.
    const std::optional<QString> path = sysInfoPath(registry, desktop);
    if (path && !path->isEmpty() && desktop.startProgram(*path))
        return;
    desktop.messageBox(SysInfoUnavailable, Buttons::Ok);
}

} // namespace reelkeep
