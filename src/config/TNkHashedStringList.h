#pragma once

#include "config/NkIniText.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

// An ordered list of strings with a 1024-bucket hash index, each item owning at most one object.
// In name mode the index is keyed by the item's name (text before "="), and items with an empty
// name are not indexed; otherwise it is keyed by the whole string. Lookups fold ASCII letters only.
template <typename Object> class TNkHashedStringList final
{
public:
    explicit TNkHashedStringList(bool nameMode) : m_nameMode(nameMode) {}

    int count() const { return static_cast<int>(m_items.size()); }
    const QString& string(int index) const { return m_items[index].string; }
    const QString& name(int index) const { return m_items[index].name; }
    Object* object(int index) const { return m_items[index].object.get(); }

    // The text after the item's name and "=" (empty when the item has no "=").
    QString value(int index) const
    {
        const QString& text = m_items[index].string;
        const qsizetype equals = text.indexOf(u'=');
        return equals < 0 ? QString() : text.mid(equals + 1);
    }

    // Replacing an object frees the previous one.
    void setObject(int index, std::unique_ptr<Object> object) { m_items[index].object = std::move(object); }

    int append(const QString& text, std::unique_ptr<Object> object = nullptr)
    {
        const int index = count();
        m_items.push_back(Item{text, NkIniText::nameOf(text), std::move(object), -1});
        const QString& key = keyOf(m_items.back());
        if (!m_nameMode || !key.isEmpty())
            link(index, NkIniText::hashBucket(key));
        return index;
    }

    // Finds by name in name mode, by whole string otherwise; -1 when absent.
    int indexOf(const QString& key) const
    {
        if ((m_nameMode && key.isEmpty()) || !m_heads)
            return -1;
        for (int index = (*m_heads)[NkIniText::hashBucket(key)]; index >= 0; index = m_items[index].next) {
            if (NkIniText::sameText(keyOf(m_items[index]), key))
                return index;
        }
        return -1;
    }

    // Name mode: an existing item keeps its place and object and takes the new text; otherwise the
    // item is appended. The stored text is always trimmed name + "=" + quoted value.
    int SetValuesByName(const QString& name, const QString& value)
    {
        const QString trimmed = NkIniText::trim(name);
        const QString text = NkIniText::keyLine(trimmed, value);
        const int index = indexOf(trimmed);
        if (index < 0)
            return append(text);
        m_items[index].string = text;
        m_items[index].name = trimmed;
        return index;
    }

private:
    struct Item
    {
        QString string;
        QString name;
        std::unique_ptr<Object> object;
        int next; // following item of the same bucket, -1 at the end
    };

    const QString& keyOf(const Item& item) const { return m_nameMode ? item.name : item.string; }

    // Appends at the end of the bucket's chain, so of two equal keys the first one is found.
    void link(int index, int bucket)
    {
        if (!m_heads) {
            m_heads = std::make_unique<std::array<int, NkIniText::kBuckets>>();
            m_heads->fill(-1);
        }
        int* slot = &(*m_heads)[bucket];
        while (*slot >= 0)
            slot = &m_items[*slot].next;
        *slot = index;
    }

    bool m_nameMode;
    std::vector<Item> m_items;
    // Bucket heads, allocated with the first indexed item so that empty lists stay small.
    std::unique_ptr<std::array<int, NkIniText::kBuckets>> m_heads;
};
