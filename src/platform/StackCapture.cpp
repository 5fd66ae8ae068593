#include "platform/StackCapture.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cxxabi.h>
#include <dwarf.h>
#include <elfutils/libdw.h>
#include <elfutils/libdwfl.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

QString demangle(const char* name)
{
    if (!name)
        return {};
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> plain(abi::__cxa_demangle(name, nullptr, nullptr, &status), std::free);
    return QString::fromUtf8(status == 0 && plain ? plain.get() : name);
}

// A session over this process's modules, their symbol tables and debug
// information (separate debug files are looked for where Debian puts them).
class ProcessDebugInfo {
public:
    ProcessDebugInfo()
    {
        static char* debugPath = nullptr;
        static const Dwfl_Callbacks callbacks = {
            dwfl_linux_proc_find_elf, dwfl_standard_find_debuginfo, nullptr, &debugPath};
        m_dwfl = dwfl_begin(&callbacks);
        if (!m_dwfl)
            return;
        dwfl_report_begin(m_dwfl);
        if (dwfl_linux_proc_report(m_dwfl, getpid()) != 0 || dwfl_report_end(m_dwfl, nullptr, nullptr) != 0) {
            dwfl_end(m_dwfl);
            m_dwfl = nullptr;
        }
    }
    ~ProcessDebugInfo()
    {
        if (m_dwfl)
            dwfl_end(m_dwfl);
    }
    ProcessDebugInfo(const ProcessDebugInfo&) = delete;
    ProcessDebugInfo& operator=(const ProcessDebugInfo&) = delete;

    QString describe(std::uintptr_t address, bool exact) const
    {
        const QString where = QStringLiteral("[%1]").arg(quint64(address), 16, 16, QLatin1Char('0'));
        if (!m_dwfl)
            return where;
        // A return address points after the call; its line is the call's.
        const Dwarf_Addr pc = exact ? address : address - 1;
        Dwfl_Module* module = dwfl_addrmodule(m_dwfl, pc);
        if (!module)
            return where;
        QString text = where;
        GElf_Off offset = 0;
        GElf_Sym symbol;
        const char* name = dwfl_module_addrinfo(module, pc, &offset, &symbol, nullptr, nullptr, nullptr);
        if (name) {
            text += QLatin1Char(' ') + demangle(name) + QStringLiteral(" + 0x%1").arg(quint64(offset) + (exact ? 0 : 1), 0, 16);
        } else {
            const char* moduleName = dwfl_module_info(module, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
            text += QLatin1Char(' ') + QFileInfo(QString::fromUtf8(moduleName ? moduleName : "?")).fileName();
        }
        if (Dwfl_Line* line = dwfl_module_getsrc(module, pc)) {
            int lineNo = 0;
            const char* file = dwfl_lineinfo(line, nullptr, &lineNo, nullptr, nullptr, nullptr);
            if (file && lineNo > 0) {
                text += QStringLiteral(" (%1:%2").arg(QFileInfo(QString::fromUtf8(file)).fileName()).arg(lineNo);
                const int first = functionLine(module, pc);
                if (first > 0 && first <= lineNo)
                    text += QStringLiteral(" + %1").arg(lineNo - first);
                text += QLatin1Char(')');
            }
        }
        return text;
    }

private:
    // The line where the innermost function around `pc` (inlined or not) is
    // declared; 0 when unknown.
    static int functionLine(Dwfl_Module* module, Dwarf_Addr pc)
    {
        Dwarf_Addr bias = 0;
        Dwarf_Die* cu = dwfl_module_addrdie(module, pc, &bias);
        if (!cu)
            return 0;
        Dwarf_Die* scopes = nullptr;
        const int n = dwarf_getscopes(cu, pc - bias, &scopes);
        int line = 0;
        for (int i = 0; i < n; ++i) {
            const int tag = dwarf_tag(&scopes[i]);
            if (tag == DW_TAG_subprogram || tag == DW_TAG_inlined_subroutine) {
                if (dwarf_decl_line(&scopes[i], &line) != 0)
                    line = 0;
                break;
            }
        }
        std::free(scopes);
        return line;
    }

    Dwfl* m_dwfl = nullptr;
};

}  // namespace

QStringList RenderStack(const std::vector<std::uintptr_t>& frames, bool firstIsExact)
{
    QStringList lines;
    if (frames.empty())
        return lines;
    // Debug information comes from this machine only: libdw would otherwise
    // ask the debuginfod servers named in DEBUGINFOD_URLS, and a dying
    // program must not wait on the network.
    static const bool local = (unsetenv("DEBUGINFOD_URLS"), true);
    (void)local;
    const ProcessDebugInfo info;
    for (std::size_t i = 0; i < frames.size(); ++i)
        lines << info.describe(frames[i], firstIsExact && i == 0);
    return lines;
}

QString ExceptionTypeName(const std::exception_ptr& error)
{
    if (!error)
        return {};
    const std::type_info* type = error.__cxa_exception_type();
    return type ? demangle(type->name()) : QString();
}

std::vector<LoadedModule> LoadedModules()
{
    std::vector<LoadedModule> modules;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto& out = *static_cast<std::vector<LoadedModule>*>(data);
            const ElfW(Phdr)* first = nullptr;
            for (int i = 0; i < info->dlpi_phnum; ++i)
                if (info->dlpi_phdr[i].p_type == PT_LOAD) {
                    first = &info->dlpi_phdr[i];
                    break;
                }
            if (!first)
                return 0;
            LoadedModule m;
            m.preferred = first->p_vaddr & ~std::uintptr_t(first->p_align ? first->p_align - 1 : 0);
            m.base = info->dlpi_addr + m.preferred;
            const char* name = info->dlpi_name;
            if (name && *name)
                m.path = QString::fromUtf8(name);
            else if (out.empty())
                m.path = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();  // the program itself
            else
                return 0;  // the kernel's vDSO: no file
            // Libraries carry their version in the name of the file a link points to.
            static const QRegularExpression versioned(QStringLiteral("\\.so\\.(\\d+(?:\\.\\d+)*)$"));
            const auto match = versioned.match(QFileInfo(m.path).canonicalFilePath());
            if (match.hasMatch())
                m.version = match.captured(1);
            out.push_back(m);
            return 0;
        },
        &modules);
    std::sort(modules.begin(), modules.end(),
              [](const LoadedModule& a, const LoadedModule& b) { return a.base < b.base; });
    return modules;
}
