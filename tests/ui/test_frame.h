// A main frame for the editor's tests: settings in a private data folder, history in
// a folder of its own inside it, messages collected instead of shown in a box.
#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>

#include "ui/main_frame.h"

namespace velmira::testing_support {

inline const std::filesystem::path& ShippedFiles() {
  static const std::filesystem::path p = std::filesystem::path(VELMIRA_SOURCE_DIR) / "share" / "velmira";
  return p;
}

// `messages` (may be null) receives every message the documents show.
inline std::unique_ptr<CMainFrame> StartTestFrame(const QTemporaryDir& home, QStringList* messages) {
  const std::filesystem::path folder = home.path().toStdString();
  auto frame = std::make_unique<CMainFrame>(folder, ShippedFiles());
  frame->Frame().tempFolder = folder / "tmp";
  std::filesystem::create_directories(frame->Frame().tempFolder);
  frame->Host().SetInformer([messages](const QString& t) {
    if (messages) *messages << t;
  });
  return frame;
}

}  // namespace velmira::testing_support
