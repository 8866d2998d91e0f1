#include "ChartPatch.h"

#include <pugixml.hpp>
#include <zip.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace ChartPatch {

namespace {

struct ArchiveCloser
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

bool readEntry(zip_t* archive, const std::string& name, std::string& content)
{
    zip_stat_t stat;
    if (zip_stat(archive, name.c_str(), 0, &stat) != 0)
        return false;
    zip_file_t* file = zip_fopen(archive, name.c_str(), 0);
    if (!file)
        return false;
    content.resize(stat.size);
    const zip_int64_t read = zip_fread(file, content.data(), stat.size);
    zip_fclose(file);
    return read == static_cast<zip_int64_t>(stat.size);
}

bool replaceEntry(zip_t* archive, const std::string& name, const std::string& content, std::string& buffer)
{
    buffer = content;
    zip_source_t* source = zip_source_buffer(archive, buffer.data(), buffer.size(), 0);
    if (!source)
        return false;
    if (zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(source);
        return false;
    }
    return true;
}

using References = std::vector<std::pair<std::string, std::string>>;

void useNamedRanges(pugi::xml_node chartSpace, const References& namedReferences)
{
    for (const pugi::xpath_node& found : chartSpace.select_nodes("//c:numRef | //c:strRef")) {
        pugi::xml_node ref = found.node();
        pugi::xml_node formula = ref.child("c:f");
        for (const auto& [cells, name] : namedReferences) {
            if (cells != formula.text().get())
                continue;
            formula.text().set(name.c_str());
            ref.remove_child("c:numCache");
            ref.remove_child("c:strCache");
            break;
        }
    }
}

void makeColumn3d(pugi::xml_node chartSpace)
{
    pugi::xml_node chart = chartSpace.child("c:chart");
    pugi::xml_node bar = chart.child("c:plotArea").child("c:barChart");
    if (!bar)
        return;
    bar.set_name("c:bar3DChart");
    bar.remove_child("c:overlap");
    bar.remove_child("c:serLines");
    pugi::xml_node gapWidth = bar.child("c:gapWidth");
    pugi::xml_node shape = gapWidth ? bar.insert_child_after("c:shape", gapWidth)
                                    : bar.insert_child_before("c:shape", bar.child("c:axId"));
    shape.append_attribute("val") = "box";

    pugi::xml_node view = chart.insert_child_before("c:view3D", chart.child("c:plotArea"));
    view.append_child("c:rotX").append_attribute("val") = "15";
    view.append_child("c:rotY").append_attribute("val") = "20";
    view.append_child("c:rAngAx").append_attribute("val") = "1";
}

} // namespace

bool apply(const std::string& path, const std::string& chartPart, const References& namedReferences, std::string& error)
{
    int code = 0;
    Archive archive(zip_open(path.c_str(), 0, &code));
    if (!archive) {
        error = "cannot open " + path;
        return false;
    }
    // Every chart part of the workbook, in order; the buffers live until the archive is closed.
    std::vector<std::string> parts;
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t k = 0; k < entries; ++k) {
        const std::string name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(k), 0);
        if (name.rfind("xl/charts/chart", 0) == 0)
            parts.push_back(name);
    }
    std::vector<std::string> buffers(parts.size());
    for (std::size_t k = 0; k < parts.size(); ++k) {
        std::string content;
        pugi::xml_document doc;
        if (!readEntry(archive.get(), parts[k], content) || !doc.load_buffer(content.data(), content.size())) {
            error = "cannot read " + parts[k];
            return false;
        }
        pugi::xml_node chartSpace = doc.document_element();
        useNamedRanges(chartSpace, namedReferences);
        if (parts[k] == chartPart)
            makeColumn3d(chartSpace);
        std::ostringstream out;
        doc.save(out, "", pugi::format_raw);
        if (!replaceEntry(archive.get(), parts[k], out.str(), buffers[k])) {
            error = "cannot replace " + parts[k];
            return false;
        }
    }
    if (zip_close(archive.get()) != 0) {
        error = std::string("cannot write ") + path + ": " + zip_strerror(archive.get());
        return false;
    }
    archive.release();
    return true;
}

} // namespace ChartPatch
