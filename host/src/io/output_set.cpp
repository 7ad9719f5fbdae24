#include "io/output_set.hpp"

#include "model/errors.hpp"

#include <filesystem>
#include <set>

#include <unistd.h>

namespace diekit::io {

namespace fs = std::filesystem;

namespace {

// Reasons name the target, never the temporary the designer did not ask for.
std::string about_target(std::string reason, const std::string &temporary, const std::string &target) {
    for (auto at = reason.find(temporary); at != std::string::npos; at = reason.find(temporary, at + target.size()))
        reason.replace(at, temporary.size(), target);
    return reason;
}

void remove_any(const std::string &path) noexcept {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

bool present(const std::string &path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

}  // namespace

OutputSet::OutputSet(Rename rename) : m_rename(std::move(rename)) {
    if (!m_rename) m_rename = [](const std::string &from, const std::string &to) { fs::rename(from, to); };
}

OutputSet::~OutputSet() { remove_temporaries(); }

void OutputSet::add_file(const std::string &target, Writer write) {
    if (target.empty()) return;
    const std::string pid = std::to_string(::getpid());
    m_entries.push_back({target, target + ".tmp-" + pid, target + ".old-" + pid, false, std::move(write)});
}

void OutputSet::add_folder(const std::string &target, Writer write) {
    if (target.empty()) return;
    std::string path = target;
    while (path.size() > 1 && path.back() == '/') path.pop_back();  // "dir/" names the folder "dir"
    const std::string pid = std::to_string(::getpid());
    m_entries.push_back({path, path + ".tmp-" + pid, path + ".old-" + pid, true, std::move(write)});
}

void OutputSet::check_targets() const {
    std::set<fs::path> seen;
    for (const Entry &entry : m_entries) {
        const fs::path normal = fs::absolute(entry.target).lexically_normal();
        if (!seen.insert(normal).second)
            throw SessionError("'" + entry.target + "' is given for two outputs");
        std::error_code error;
        const auto status = fs::status(entry.target, error);
        if (!entry.folder && fs::is_directory(status))
            throw SessionError("cannot write '" + entry.target + "': it is a folder");
        if (entry.folder && fs::exists(status) && !fs::is_directory(status))
            throw SessionError("cannot write the folder '" + entry.target + "': a file of that name exists");
        const fs::path parent = normal.parent_path();
        if (!fs::is_directory(parent, error))
            throw SessionError("cannot write '" + entry.target + "': the folder '" + parent.string() + "' does not exist");
    }
}

void OutputSet::write_all() {
    for (Entry &entry : m_entries) {
        try {
            remove_any(entry.temporary);
            if (entry.folder) fs::create_directory(entry.temporary);
            entry.write(entry.temporary);
            if (!present(entry.temporary)) throw SessionError("nothing was written");
        } catch (const std::bad_alloc &) {
            throw SessionError("cannot write '" + entry.target + "': out of memory");
        } catch (const std::exception &e) {
            throw SessionError("cannot write '" + entry.target + "': " + about_target(e.what(), entry.temporary, entry.target));
        }
    }
}

void OutputSet::place_all() {
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        Entry &entry = m_entries[i];
        try {
            if (present(entry.target)) {
                remove_any(entry.aside);
                m_rename(entry.target, entry.aside);
                entry.moved_aside = true;
            }
            m_rename(entry.temporary, entry.target);
            entry.placed = true;
        } catch (const std::exception &e) {
            put_back(i);
            throw SessionError("cannot write '" + entry.target + "': " + about_target(e.what(), entry.temporary, entry.target) +
                               "; no output was changed");
        }
    }
}

// Undoes entries placed..0: the new output removed, the old one moved back.
void OutputSet::put_back(std::size_t placed) {
    for (std::size_t i = placed + 1; i-- > 0;) {
        Entry &entry = m_entries[i];
        std::error_code error;
        if (entry.placed) fs::rename(entry.target, entry.temporary, error);
        entry.placed = false;
        // A copy that cannot be moved back stays where it is rather than being removed.
        if (entry.moved_aside && !error) {
            fs::rename(entry.aside, entry.target, error);
            entry.moved_aside = static_cast<bool>(error);
        }
    }
}

void OutputSet::remove_temporaries() noexcept {
    for (const Entry &entry : m_entries) {
        if (!entry.placed) remove_any(entry.temporary);
        if (m_done && entry.moved_aside) remove_any(entry.aside);
    }
}

void OutputSet::commit() {
    check_targets();
    write_all();
    place_all();
    m_done = true;
    remove_temporaries();  // the copies moved aside
}

}  // namespace diekit::io
