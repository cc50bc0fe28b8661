// Where the files shipped with Velmira are found at run time: sample pictures, the
// default first-run marker and string table. They live in share/velmira beside the
// executable's ../share, so an installed tree works as is; a build tree finds the
// source tree's share folder a few levels up.
#pragma once

#include <filesystem>

namespace velmira {

// The folder of the running executable (empty when it cannot be found).
std::filesystem::path ExecutableFolder();
// share/velmira for the running executable, or empty when there is none.
std::filesystem::path SharedFolder();
// Same, searched from the given executable folder (tests use this).
std::filesystem::path SharedFolderFor(const std::filesystem::path& exeFolder);
// The bundled sample pictures: SharedFolder()/Samples (empty when not found).
std::filesystem::path SamplesFolder();

}  // namespace velmira
