#pragma once

#include "reports/XlsxPackage.h"

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// A produced workbook as tests read it: sheets in order with their state, parts, cells.
class XlsxBook
{
public:
    struct Sheet
    {
        std::string name;
        std::string state;
        std::string part;
        bool chart = false;
    };

    explicit XlsxBook(const QByteArray& bytes) : m_bytes(bytes)
    {
        m_open = m_package.open(m_bytes, nullptr);
        if (!m_open)
            return;
        workbook = part("xl/workbook.xml");
        const auto rels = part("xl/_rels/workbook.xml.rels");
        if (!workbook || !rels)
            return;
        for (pugi::xml_node s : workbook->document_element().child("sheets").children("sheet")) {
            Sheet sheet;
            sheet.name = s.attribute("name").value();
            sheet.state = s.attribute("state").value();
            const std::string id = s.attribute("r:id").value();
            pugi::xml_node rel = rels->document_element().find_child_by_attribute("Relationship", "Id", id.c_str());
            sheet.part = XlsxPackage::resolve("xl/workbook.xml", rel.attribute("Target").value());
            sheet.chart = std::string(rel.attribute("Type").value()).find("/chartsheet") != std::string::npos;
            sheets.push_back(sheet);
        }
    }

    bool open() const { return m_open; }
    bool has(const std::string& name) const { return m_package.read(name).has_value(); }

    std::unique_ptr<pugi::xml_document> part(const std::string& name) const
    {
        const auto content = m_package.read(name);
        if (!content)
            return nullptr;
        auto doc = std::make_unique<pugi::xml_document>();
        if (!doc->load_buffer(content->data(), content->size()))
            return nullptr;
        return doc;
    }

    std::unique_ptr<pugi::xml_document> sheet(const std::string& name) const
    {
        for (const Sheet& s : sheets)
            if (s.name == name)
                return part(s.part);
        return nullptr;
    }

    // The cell element, empty when missing.
    static pugi::xml_node cell(const pugi::xml_document& sheet, const std::string& reference)
    {
        return sheet.document_element().child("sheetData").find_node([&](pugi::xml_node n) {
            return std::string(n.name()) == "c" && reference == n.attribute("r").value();
        });
    }
    // The text an inline-text cell holds, or the number text of a value cell.
    static std::string value(const pugi::xml_document& sheet, const std::string& reference)
    {
        const pugi::xml_node c = cell(sheet, reference);
        if (std::string(c.attribute("t").value()) == "inlineStr")
            return c.child("is").child_value("t");
        return c.child_value("v");
    }

    std::vector<Sheet> sheets;
    std::unique_ptr<pugi::xml_document> workbook;

private:
    QByteArray m_bytes;
    XlsxPackage m_package;
    bool m_open = false;
};
