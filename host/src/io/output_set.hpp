// A set of output files and folders written all or none. Every output is first written to a
// temporary beside its target ("<target>.tmp-<pid>"); only when all of them were written are they
// renamed into place, each existing target moved aside first ("<target>.old-<pid>") so that a rename
// that fails later can put back what the earlier ones replaced. Whatever happens, no temporary or
// moved-aside copy is left behind, and the targets are either all new or all as they were.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace diekit::io {

class OutputSet {
public:
    // Fills the temporary (a file to create, or an empty folder that exists already). Throws on
    // failure (any exception); its message should name no path, the set names the target.
    using Writer = std::function<void(const std::string &temporary)>;
    // Moves `from` to `to`; throws std::filesystem::filesystem_error on failure. Given only by
    // tests, to make a rename fail; the default is std::filesystem::rename.
    using Rename = std::function<void(const std::string &from, const std::string &to)>;

    explicit OutputSet(Rename rename = {});
    ~OutputSet();  // removes any temporary left by a commit that did not happen
    OutputSet(const OutputSet &) = delete;
    OutputSet &operator=(const OutputSet &) = delete;

    // A file output: its target may not be an existing folder. An empty target is ignored.
    void add_file(const std::string &target, Writer write);
    // A folder output: the whole folder is replaced; its target may not be an existing file.
    void add_folder(const std::string &target, Writer write);

    // Writes every output and puts them in place. Throws SessionError naming the output's target
    // and the reason when any cannot be written or placed; the targets are then as they were.
    void commit();

private:
    struct Entry {
        std::string target, temporary, aside;
        bool folder = false;
        Writer write;
        bool moved_aside = false, placed = false;
    };
    void check_targets() const;
    void write_all();
    void place_all();
    void put_back(std::size_t placed);
    void remove_temporaries() noexcept;

    Rename m_rename;
    std::vector<Entry> m_entries;
    bool m_done = false;
};

}  // namespace diekit::io
