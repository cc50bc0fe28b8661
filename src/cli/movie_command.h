// velmira-cli movie: the slide-show maker from the command line.
//
//   velmira-cli movie [--size WxH] [--frame-speed V] [--transition-speed T]
//                     OUTPUT PICTURE[,FRAME[,LINK]]...
//
// Everything the command needs — argument parsing and the run itself — lives here so
// that it can move into the command table with a few lines.
#pragma once

#include <string>
#include <vector>

#include "movie/movie_composer.h"

namespace velmira::cli {

// Parses the words after "movie". False with `error` set on a usage error.
// `notes` collects harmless remarks (an unlisted size replaced by 640 × 480).
bool ParseMovieArgs(const std::vector<std::string>& args, MovieSettings& out, std::string& error,
                    std::vector<std::string>* notes = nullptr);

// Runs the command; returns the process exit code (0 done, 1 failed, 2 usage).
int RunMovieCommand(const std::vector<std::string>& args);

// The lines `velmira-cli --help` shows for it.
const char* MovieUsage();

}  // namespace velmira::cli
