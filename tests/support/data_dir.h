#pragma once
// A scratch copy of the game's data folders, linked file by file, that is the working directory while it lives.
// One named file is left out, or made by the test in its own way.
#include <stdlib.h>

#include <filesystem>
#include <functional>

class ScratchDataDir {
public:
    // Makes the named file at target from the original instead of linking it; empty leaves the file out.
    using MakeFile = std::function<void(const std::filesystem::path& target, const std::filesystem::path& original)>;

    // The named file is given relative to the data directory, as the game opens it ("Textures/EOLobj.png").
    explicit ScratchDataDir(const std::filesystem::path& named, const MakeFile& make = nullptr)
        : mHome(std::filesystem::current_path()) {
        char pattern[] = "/tmp/corvalo-data-XXXXXX";
        mRoot = mkdtemp(pattern);
        for (const char* folder : {"FX", "Textures", "Sounds"}) {
            std::filesystem::create_directories(mRoot / folder);
            for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(mHome / folder)) {
                const std::filesystem::path relative = std::filesystem::path(folder) / entry.path().filename();
                if (relative != named) {
                    std::filesystem::create_symlink(entry.path(), mRoot / relative);
                } else if (make) {
                    make(mRoot / relative, entry.path());
                }
            }
        }
        std::filesystem::current_path(mRoot);
    }
    ~ScratchDataDir() {
        std::filesystem::current_path(mHome);
        std::filesystem::remove_all(mRoot);
    }

    ScratchDataDir(const ScratchDataDir&) = delete;
    ScratchDataDir& operator=(const ScratchDataDir&) = delete;

private:
    std::filesystem::path mHome;
    std::filesystem::path mRoot;
};
