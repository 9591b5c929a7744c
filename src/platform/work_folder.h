// A private, fresh folder for the files of one run (a calculation, a simulation,
// an engine-files run): made with mkdtemp below the program folder's temp/ when
// that is writable, otherwise below the per-user cache folder, so that two runs
// at once never share a file. It is removed with everything in it when the run
// ends, unless a Debug folder exists below the current directory: then it is
// kept for inspection and its path goes to the run's trace.
#pragma once

#include <string>

namespace relatix {

class WorkFolder {
public:
    // Makes the folder; ok() tells whether it could be had.
    explicit WorkFolder(const std::string& programDirectory);
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    bool ok() const { return !path_.empty(); }
    // The absolute path of the folder, empty when none could be made.
    const std::string& path() const { return path_; }
    // Why no folder could be made.
    const std::string& error() const { return error_; }

private:
    std::string path_;
    std::string error_;
    bool keep_ = false;
};

// The per-user folder for what the program cannot keep in its own folder:
// $XDG_CACHE_HOME/relatix2 or ~/.cache/relatix2 (cache), $XDG_CONFIG_HOME/relatix2
// or ~/.config/relatix2 (configuration). Not created here.
std::string userCacheFolder();
std::string userConfigFolder();

// True when the folder exists and this process may create files in it.
bool folderWritable(const std::string& folder);

}  // namespace relatix
