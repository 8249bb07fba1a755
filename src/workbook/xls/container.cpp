#include "workbook/xls/container.h"

#include "workbook/xls/xlsworkbook.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <iterator>
#include <memory>

namespace velmora::xls {

namespace {

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GPtr = std::unique_ptr<T, Unref>;

// libgsf reports damaged files through GLib warnings as well as its return
// values; the engine reports them itself, so while it works with libgsf
// those warnings are not printed.
class QuietGsf {
public:
    QuietGsf() {
        static const bool initialised = (gsf_init(), true);
        (void)initialised;
        for (size_t i = 0; i < std::size(kDomains); ++i)
            handlers_[i] = g_log_set_handler(kDomains[i], kLevels, ignore, nullptr);
    }
    ~QuietGsf() {
        for (size_t i = 0; i < std::size(kDomains); ++i)
            g_log_remove_handler(kDomains[i], handlers_[i]);
    }
    QuietGsf(const QuietGsf&) = delete;
    QuietGsf& operator=(const QuietGsf&) = delete;

private:
    static void ignore(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}
    static constexpr const char* kDomains[] = {nullptr, "libgsf:msole", "GLib-GObject"};
    static constexpr GLogLevelFlags kLevels = GLogLevelFlags(
        G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_INFO);
    guint handlers_[std::size(kDomains)] = {};
};

[[noreturn]] void damaged() {
    throw XlsError(QStringLiteral("文件已损坏，无法读取其中的工作簿。"));
}

// Streams of a well-formed file never hold more bytes in total than the file;
// a hostile file whose sector chains share sectors could claim far more.
struct Budget {
    qint64 left;
    void take(qint64 n) {
        if (n < 0 || n > left)
            damaged();
        left -= n;
    }
};

void readChildren(GsfInfile* storage, int parent, Container& out, Budget& budget, int depth) {
    if (depth > 64)
        damaged();
    const int n = gsf_infile_num_children(storage);
    for (int i = 0; i < n; ++i) {
        const char* name = gsf_infile_name_by_index(storage, i);
        GPtr<GsfInput> child(gsf_infile_child_by_index(storage, i));
        if (!child || !name)
            damaged();
        ContainerEntry entry;
        entry.name = QString::fromUtf8(name);
        entry.parent = parent;
        if (GSF_IS_INFILE(child.get()) && gsf_infile_num_children(GSF_INFILE(child.get())) >= 0) {
            entry.isStorage = true;
            if (GSF_IS_INFILE_MSOLE(child.get()))
                gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(child.get()), entry.classId.data());
            out.entries.push_back(std::move(entry));
            readChildren(GSF_INFILE(child.get()), int(out.entries.size()) - 1, out, budget,
                         depth + 1);
            continue;
        }
        const qint64 size = gsf_input_size(child.get());
        budget.take(size);
        const auto* data =
            size > 0
                ? reinterpret_cast<const char*>(gsf_input_read(child.get(), size_t(size), nullptr))
                : "";
        if (!data)
            damaged();
        // A stream lying in one piece in the file is taken from there; one
        // libgsf had to gather from scattered sectors is copied.
        const char* file = out.backing.constData();
        if (data >= file && data + size <= file + out.backing.size())
            entry.data = QByteArray::fromRawData(data, qsizetype(size));
        else
            entry.data = QByteArray(data, qsizetype(size));
        out.entries.push_back(std::move(entry));
    }
}

bool writeChildren(GsfOutfile* storage, int parent, const Container& in) {
    for (int i = 0; i < int(in.entries.size()); ++i) {
        const ContainerEntry& entry = in.entries[size_t(i)];
        if (entry.parent != parent)
            continue;
        GPtr<GsfOutput> child(
            gsf_outfile_new_child(storage, entry.name.toUtf8().constData(), entry.isStorage));
        if (!child)
            return false;
        bool ok = true;
        if (entry.isStorage) {
            gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(child.get()), entry.classId.data());
            ok = writeChildren(GSF_OUTFILE(child.get()), i, in);
        } else if (!entry.data.isEmpty()) {
            ok = gsf_output_write(child.get(), size_t(entry.data.size()),
                                  reinterpret_cast<const guint8*>(entry.data.constData()));
        }
        ok = gsf_output_close(child.get()) && ok;
        if (!ok)
            return false;
    }
    return true;
}

}  // namespace

Container readContainer(const QByteArray& file) {
    const QuietGsf quiet;
    GPtr<GsfInput> input(gsf_input_memory_new(reinterpret_cast<const guint8*>(file.constData()),
                                              file.size(), FALSE));
    GError* error = nullptr;
    GPtr<GsfInfile> root(gsf_infile_msole_new(input.get(), &error));
    if (error)
        g_error_free(error);
    if (!root)
        throw XlsError(QStringLiteral("这不是 Excel 97-2003 工作簿（.xls）文件。"));
    Container out;
    out.backing = file;
    gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(root.get()), out.rootClassId.data());
    Budget budget{file.size()};
    readChildren(root.get(), -1, out, budget, 0);
    return out;
}

QByteArray writeContainer(const Container& container) {
    const QuietGsf quiet;
    GPtr<GsfOutput> sink(gsf_output_memory_new());
    GPtr<GsfOutfile> root(gsf_outfile_msole_new(sink.get()));
    bool ok = root != nullptr;
    if (ok) {
        gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(root.get()), container.rootClassId.data());
        ok = writeChildren(root.get(), -1, container);
        ok = gsf_output_close(GSF_OUTPUT(root.get())) && ok;
    }
    if (ok && !gsf_output_is_closed(sink.get()))
        ok = gsf_output_close(sink.get());
    if (!ok)
        throw XlsError(QStringLiteral("无法生成工作簿文件。"));
    const gsf_off_t size = gsf_output_size(sink.get());
    const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    return QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(size));
}

}  // namespace velmora::xls
