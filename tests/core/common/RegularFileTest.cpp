// SPDX-License-Identifier: GPL-3.0-or-later
// Documents, settings files and logs are read only when they are regular
// files: a FIFO, a link to a device and a folder give a clear reason at once,
// whichever reader meets them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "core/common/AtomicFile.h"
#include "core/common/RegularFile.h"
#include "core/document/DocumentFile.h"
#include "core/settings/IniFile.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

TEST(RegularFile, SpecialFilesAreRefusedWithoutBlocking) {
  test::TempFolder dir;
  ASSERT_EQ(mkfifo(dir.File("fifo.nc").c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/zero", dir.File("zero.nc").c_str()), 0);
  ASSERT_EQ(mkdir(dir.File("folder.nc").c_str(), 0700), 0);
  // A FIFO without a writer blocks an open and /dev/zero never ends: a reader
  // that does either ends the test program here instead of hanging it.
  alarm(20);
  for (const char* name : {"fifo.nc", "zero.nc", "folder.nc"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.File(name);
    std::string bytes, error;
    EXPECT_FALSE(ReadWholeFile(path, &bytes, &error));
    EXPECT_EQ(error, kNotARegularFile);

    const DocumentLoad load = ReadDocumentFile(path);
    EXPECT_FALSE(load.opened);
    EXPECT_EQ(load.error, kNotARegularFile);
    EXPECT_EQ(ReadDocumentFileByLines(path), "");

    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("Options", "op1", "default"), "default");
  }
  alarm(0);
}

}  // namespace
}  // namespace quelvo
