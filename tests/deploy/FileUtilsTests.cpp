// The single-path utilities and the running-AutoCAD check over the in-memory machine.
#include <gtest/gtest.h>

#include "deploy/AcadRunning.h"
#include "deploy/FileUtils.h"
#include "platform/memory/MemoryMachine.h"

namespace {

TEST(ClearReadOnlyTest, ClearsOnlyTheReadOnlyBit) {
  mem::MemoryMachine m;
  m.files.AddFile("C:\\a.txt", "x", plat::kFileAttributeReadOnly | plat::kFileAttributeHidden);
  ClearReadOnly(m.files, "C:\\a.txt");
  EXPECT_EQ(m.files.Attributes("C:\\a.txt") & (plat::kFileAttributeReadOnly | plat::kFileAttributeHidden),
            plat::kFileAttributeHidden);
  const std::string before = m.files.ListAll();
  ClearReadOnly(m.files, "C:\\missing.txt");
  ClearReadOnly(m.files, "C:\\a.txt");  // nothing left to clear
  EXPECT_EQ(m.files.ListAll(), before);
}

TEST(GetPathKindTest, TellsMissingFilesAndFoldersApart) {
  mem::MemoryMachine m;
  m.files.AddFile("C:\\Dist\\Kavtor2010.arx", "");
  m.files.AddFolder("C:\\Dist\\Data");
  m.files.AddFolder("C:\\Dist\\Locked");
  m.files.SetFileAttributesA("C:\\Dist\\Locked",
                             plat::kFileAttributeDirectory | plat::kFileAttributeReadOnly | plat::kFileAttributeHidden);
  EXPECT_EQ(GetPathKind(m.files, "C:\\Dist\\Data"), PathKind::Folder);
  EXPECT_EQ(GetPathKind(m.files, "C:\\Dist\\Locked"), PathKind::Folder) << "only the directory bit counts";
  EXPECT_EQ(GetPathKind(m.files, "C:\\Dist\\Kavtor2010.arx"), PathKind::File);
  EXPECT_EQ(GetPathKind(m.files, "C:\\Dist\\nothing"), PathKind::Missing);
  EXPECT_EQ(GetPathKind(m.files, "C:\\Dist\\Data\\"), PathKind::Missing) << "a search takes no trailing backslash";
  EXPECT_EQ(GetPathKind(m.files, "C:\\Dist\\*.arx"), PathKind::File) << "a pattern answers with its first match";
  m.faults.FailOperation("FindFirstFileA");
  EXPECT_EQ(GetPathKind(m.files, "C:\\Dist\\Data"), PathKind::Missing);
  m.faults.Clear();
  EXPECT_EQ(m.files.OpenHandles(), 0u);
}

TEST(DeleteZoneIdentifierTest, RemovesTheDownloadMarkOnly) {
  mem::MemoryMachine m;
  m.files.AddFile("C:\\Data\\Kavtor2016.ARX", "module");
  m.files.AddFile("C:\\Data\\Kavtor2016.ARX:Zone.Identifier", "[ZoneTransfer]\r\nZoneId=3\r\n");
  EXPECT_TRUE(DeleteZoneIdentifier(m.files, "C:\\Data\\Kavtor2016.ARX"));
  EXPECT_TRUE(m.files.Streams("C:\\Data\\Kavtor2016.ARX").empty());
  EXPECT_EQ(m.files.ReadFile("C:\\Data\\Kavtor2016.ARX"), "module");
  EXPECT_FALSE(DeleteZoneIdentifier(m.files, "C:\\Data\\Kavtor2016.ARX")) << "no mark left";
  EXPECT_FALSE(DeleteZoneIdentifier(m.files, "C:\\Data\\missing"));
}

TEST(IsAcadRunningTest, SubstringOfTheExecutableNameLetterCaseIgnored) {
  for (const char* name : {"ACAD.EXE", "Acad.exe", "myacad.exe", "acad.exe.bak"}) {
    mem::MemoryMachine m;
    m.processes.SetRunning({"explorer.exe", name, "notepad.exe"});
    EXPECT_TRUE(IsAcadRunning(m.processes)) << name;
    EXPECT_EQ(m.processes.OpenHandles(), 0u);
  }
  for (const char* name : {"acadlt.exe", "accoreconsole.exe", "acad.ex",
                           "\x81\x41"
                           "CAD.EXE"}) {
    mem::MemoryMachine m;
    m.processes.SetRunning({name});
    // The last one: a double-byte character ending in 0x41 is no letter "A".
    EXPECT_FALSE(IsAcadRunning(m.processes)) << name;
  }
}

TEST(IsAcadRunningTest, ProcessListThatCannotBeHadCountsAsNotRunning) {
  for (const char* op : {"CreateToolhelp32Snapshot", "Process32First"}) {
    mem::MemoryMachine m;
    m.processes.SetRunning({"acad.exe"});
    m.faults.FailOperation(op);
    EXPECT_FALSE(IsAcadRunning(m.processes)) << op;
    EXPECT_EQ(m.processes.OpenHandles(), 0u) << op;
  }
  mem::MemoryMachine m;
  EXPECT_FALSE(IsAcadRunning(m.processes)) << "an empty list";
}

}  // namespace
