// The table of formats: one row a code, each with what the rest of the program takes from it.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <utility>

#include "record/dispatch.h"
#include "record/file_types.h"
#include "record/format_names.h"
#include "record/formats.h"

namespace sism {
namespace {

TEST(FormatTable, EveryCodeHasOneRowWithItsReaderAndName) {
  std::set<int32_t> seen;
  for (const RecordFormatRow& row : RecordFormats()) {
    EXPECT_TRUE(seen.insert(row.code).second) << "two rows for " << row.code;
    EXPECT_NE(row.reader, nullptr) << row.name;
    EXPECT_NE(std::string(row.name), "") << row.code;
    EXPECT_EQ(DefaultReaders()[static_cast<std::size_t>(row.code)], row.reader) << row.name;
    EXPECT_EQ(RecordFormatName(row.code), row.name);
    EXPECT_EQ(FindRecordFormat(row.code), &row);
    for (const char* e : row.extensions) EXPECT_EQ(e[0], '.') << row.name << " " << e;
  }
  for (int32_t code = FormatAc; code <= FormatLast; ++code) EXPECT_TRUE(seen.count(code)) << code;
  EXPECT_EQ(RecordFormatName(99), "format 99");
  EXPECT_EQ(FindRecordFormat(FormatNone), nullptr);
  // The general reader is the last resort.
  EXPECT_EQ(RecordFormats().back().code, FormatOther);
}

// Files and settings store these codes: a row may move, its code may not.
TEST(FormatTable, StoredCodesKeepTheirValues) {
  const std::pair<int32_t, int32_t> pinned[] = {
      {FormatAc, 1},      {FormatAcs, 2},   {FormatKnet, 3},    {FormatTrh, 4},     {FormatJma95a, 5},
      {FormatJma95b, 6},  {FormatPeer, 7},  {FormatMd, 8},      {FormatAltus, 9},   {FormatPariOrg, 10},
      {FormatCsv, 11},    {FormatTur, 12},  {FormatJmaAc, 13},  {FormatSmc, 14},    {FormatRaw, 15},
      {FormatCosmos, 16}, {FormatOther, 17}, {FormatJmaCsv, 18}, {FormatEsm, 19},   {FormatGeoNet, 20},
      {FormatCwb, 21},    {FormatUnam, 22}, {FormatBhrc, 23},   {FormatAfad, 24},   {FormatUsc, 25},
      {FormatMseed, 26},  {FormatSac, 27}};
  for (const auto& [code, stored] : pinned) EXPECT_EQ(code, stored) << RecordFormatName(code);
}

TEST(FormatTable, FileTypesAreThoseThePackageRegisters) {
  std::ifstream in(std::string(SISMORA_SOURCE_DIR) + "/packaging/mime.xml");
  ASSERT_TRUE(in) << "packaging/mime.xml";
  std::stringstream xml;
  xml << in.rdbuf();
  for (const RecordFormatRow& row : RecordFormats()) {
    if (std::string(row.fileType).empty()) continue;
    EXPECT_NE(xml.str().find("<mime-type type=\"" + std::string(row.fileType) + "\">"), std::string::npos)
        << row.name << ": " << row.fileType;
  }
}

// The package installs what the table makes; the sources' copy is the same text.
TEST(FormatTable, MimeDataAreMadeFromTheTable) {
  std::ifstream in(std::string(SISMORA_SOURCE_DIR) + "/packaging/mime.xml", std::ios::binary);
  ASSERT_TRUE(in) << "packaging/mime.xml";
  std::stringstream xml;
  xml << in.rdbuf();
  EXPECT_EQ(MimeInfoXml(), xml.str()) << "packaging/mime.xml differs from what make-mime-xml writes";
}

TEST(FormatTable, ToolListNamesEveryFormat) {
  const std::string list = RecordFormatList();
  for (const RecordFormatRow& row : RecordFormats()) {
    EXPECT_NE(list.find("  " + std::string(row.name)), std::string::npos) << row.name;
  }
  EXPECT_NE(list.find("  miniSEED (.mseed .miniseed .ms)\n"), std::string::npos) << list;
}

// A name others share decides nothing by itself: the content does.
TEST(FormatTable, SharedNamesAreSettledByContent) {
  auto detect = [](const std::string& bytes, const std::string& ext) {
    FileSniff f{bytes, bytes.substr(0, 4), bytes.substr(0, bytes.find('\n')), ext};
    return DetectFromSniff(f);
  };
  EXPECT_EQ(detect("1,2\n", ".CSV"), FormatCsv);
  EXPECT_EQ(detect("SITE CODE= 1\n", ".CSV"), FormatJmaCsv);
  EXPECT_EQ(detect("1 2 3\n", ".MSEED"), FormatOther);
  EXPECT_EQ(detect("1 2 3\n", ".SAC"), FormatOther);
  EXPECT_EQ(detect("2 CORRECTED\n", ".SMC"), FormatSmc);
  EXPECT_EQ(detect("\x01\x02\x03\x04", ".SMC"), FormatMd);
  EXPECT_EQ(detect("Corrected accelerogram\n", ".V2"), FormatRaw);
  EXPECT_EQ(detect("Corrected acceleration  (Format v01.20 with 13 text lines)\n", ".V2"), FormatCosmos);
  EXPECT_EQ(detect("STRONG\n", ".V2"), FormatTur);
}

}  // namespace
}  // namespace sism
