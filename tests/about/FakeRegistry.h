// A registry for tests: keys and values held in memory as the registry stores them, and a log of
// every call made to it.
#pragma once

#include "about/SystemInfo.h"

#include <QMap>
#include <QStringEncoder>
#include <QStringList>

namespace reelkeep {

class FakeRegistry : public Registry
{
public:
    /// A key under HKEY_LOCAL_MACHINE that exists, with or without values.
    void addKey(const QString& key) { m_keys[key]; }
    void setValue(const QString& key, const QString& name, quint32 type, const QByteArray& bytes)
    {
        m_keys[key].insert(name, {type, bytes});
    }
    void setText(const QString& key, const QString& name, const QString& text)
    {
        setValue(key, name, quint32(RegistryValueType::Text), utf16(text, true));
    }

    /// A text as the registry stores it: UTF-16, least significant byte first.
    static QByteArray utf16(const QString& text, bool withTerminator)
    {
        const QByteArray bytes = QStringEncoder(QStringConverter::Utf16LE)(text);
        return withTerminator ? bytes + QByteArray(2, '\0') : bytes;
    }

    /// Every call in order: "open <root> <key> <access>" (numbers in hex), "query <value>", "close".
    const QStringList& calls() const { return m_calls; }
    /// Keys opened and not closed yet.
    qsizetype openKeys() const { return m_open.size(); }

    std::optional<RegistryKey> openKey(RegistryRoot root, const QString& subKey, quint32 access) override
    {
        m_calls.append(QStringLiteral("open %1 %2 %3").arg(root, 0, 16).arg(subKey).arg(access, 0, 16));
        if (root != HKeyLocalMachine || !m_keys.contains(subKey))
            return std::nullopt;
        m_open.insert(++m_lastKey, subKey);
        return m_lastKey;
    }

    bool queryValue(
        RegistryKey key, const QString& valueName, quint32& type, QByteArray& buffer, quint32& size) override
    {
        m_calls.append(QStringLiteral("query ") + valueName);
        const auto values = m_keys.value(m_open.value(key));
        if (!m_open.contains(key) || !values.contains(valueName))
            return false;
        const Value value = values.value(valueName);
        // A value larger than the room given is not read.
        if (value.bytes.size() > buffer.size())
            return false;
        buffer.replace(0, value.bytes.size(), value.bytes);
        type = value.type;
        size = static_cast<quint32>(value.bytes.size());
        return true;
    }

    void closeKey(RegistryKey key) override
    {
        m_calls.append(QStringLiteral("close"));
        m_open.remove(key);
    }

private:
    struct Value
    {
        quint32 type = 0;
        QByteArray bytes;
    };

    QMap<QString, QMap<QString, Value>> m_keys;
    QMap<RegistryKey, QString> m_open;
    QStringList m_calls;
    RegistryKey m_lastKey = 0;
};

} // namespace reelkeep
