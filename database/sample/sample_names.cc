#include "database/sample/sample_names.h"

#include <cstdio>
#include <set>

namespace qdw::database::sample {
namespace {

const std::vector<std::string> kSurnames = {
    "Smith",  "Nakamura", "Fischer", "Rossi",   "Dubois",  "Garcia",   "Johansson", "Kowalski",
    "Novak",  "Okafor",   "Larsen",  "Moreau",  "Bianchi", "Schmidt",  "Tanaka",    "Murphy",
    "Walsh",  "Jensen",   "Costa",   "Weber",   "Lambert", "Ferrari",  "Hughes",    "Lindqvist",
    "Petrov", "Santos",   "Kelly",   "Brennan", "D'Arcy",  "Vermeulen"};
const std::vector<std::string> kCompanyForms = {"Ltd",        "GmbH", "& Partners", "Trading",
                                                "Consulting", "SA",   "Logistics",  "Design"};
const std::vector<std::string> kProjectWords = {
    "Harbour Bridge", "Website",   "Warehouse", "Payroll",  "Office Move", "Audit",
    "Migration",      "Showroom",  "Catalogue", "Training", "Fleet",       "Solar Roof",
    "Intranet",       "Recycling", "Archive",   "Rebrand"};
const std::vector<std::string> kProjectStages = {"Renovation", "Relaunch", "Upgrade", "2024",
                                                 "Phase 2",    "Review",   "Rollout", "Tender"};

std::string Numbered(const std::string& text, int number) {
  char digits[16];
  std::snprintf(digits, sizeof(digits), " %04d", number);
  return text + digits;
}

std::string Date(SampleRandom& random) {
  char text[16];
  std::snprintf(text, sizeof(text), "%04d-%02d-%02d", static_cast<int>(random.Between(2019, 2025)),
                static_cast<int>(random.Between(1, 12)), static_cast<int>(random.Between(1, 28)));
  return text;
}

std::vector<std::string> DistinctNames(SampleRandom& random, size_t count,
                                       const std::vector<std::string>& first,
                                       const std::vector<std::string>& second,
                                       std::set<std::string> taken) {
  std::vector<std::string> names;
  const size_t possible = first.size() * second.size();
  while (names.size() < count && taken.size() < possible) {
    std::string name = random.Pick(first) + " " + random.Pick(second);
    if (taken.insert(name).second) names.push_back(name);
  }
  return names;
}

}  // namespace

std::vector<std::string> CustomerNames(SampleRandom& random, size_t count) {
  std::vector<std::string> names = {"O'Brien & Sons"};
  if (count <= 1) return names;
  std::vector<std::string> more =
      DistinctNames(random, count - 1, kSurnames, kCompanyForms, {"O'Brien & Sons"});
  names.insert(names.end(), more.begin(), more.end());
  return names;
}

std::vector<std::string> ProjectNames(SampleRandom& random, size_t count) {
  return DistinctNames(random, count, kProjectWords, kProjectStages, {});
}

std::string DocumentTitle(SampleRandom& random, Flavour flavour, const std::string& folder_name,
                          int number) {
  switch (flavour) {
    case Flavour::kInbox:
      return Numbered("Scan " + Date(random), number);
    case Flavour::kFinance:
      return Numbered(random.Pick(std::vector<std::string>{"Invoice", "Receipt", "Bank statement",
                                                           "Credit note", "Expense claim"}),
                      number);
    case Flavour::kCustomer:
      return Numbered(random.Pick(std::vector<std::string>{"Letter to ", "Offer for ",
                                                           "Order from ", "Complaint of "}) +
                          folder_name,
                      number);
    case Flavour::kProject:
      return Numbered(
          random.Pick(std::vector<std::string>{"Meeting minutes", "Project plan", "Status report",
                                               "Drawing", "Client's brief"}),
          number);
    case Flavour::kPersonnel:
      return Numbered(random.Pick(std::vector<std::string>{"Employment contract", "Application",
                                                           "Reference letter", "Time sheet"}),
                      number);
    case Flavour::kArchive:
      return Numbered(
          "Archived " + random.Pick(std::vector<std::string>{"letter", "fax", "memo", "report"}),
          number);
    case Flavour::kShared:
      return Numbered(random.Pick(std::vector<std::string>{"Shared scan", "Team memo",
                                                           "Handover notes", "Price list"}),
                      number);
  }
  return Numbered("Document", number);
}

std::string OriginalExtension(SampleRandom& random, Flavour flavour) {
  static const std::vector<std::string> kInbox = {"", "", "", "", "", "", "", "tif", "tif", "tif"};
  static const std::vector<std::string> kFinance = {"xlsx", "xlsx", "xlsx", "xlsx", "",
                                                    "",     "",     "",     "xls",  "tif"};
  static const std::vector<std::string> kCustomer = {"docx", "docx", "docx", "docx", "docx",
                                                     "",     "",     "",     "doc",  "jpg"};
  static const std::vector<std::string> kProject = {"docx", "docx", "docx", "xlsx", "xlsx",
                                                    "pptx", "pptx", "",     "",     "png"};
  static const std::vector<std::string> kPersonnel = {"docx", "docx", "docx", "docx", "docx",
                                                      "docx", "",     "",     "",     ""};
  static const std::vector<std::string> kArchive = {"",    "",    "",    "",    "",
                                                    "tif", "tif", "tif", "txt", "txt"};
  static const std::vector<std::string> kShared = {"",    "",    "",     "",     "",
                                                   "jpg", "jpg", "docx", "docx", "docx"};
  switch (flavour) {
    case Flavour::kInbox:
      return random.Pick(kInbox);
    case Flavour::kFinance:
      return random.Pick(kFinance);
    case Flavour::kCustomer:
      return random.Pick(kCustomer);
    case Flavour::kProject:
      return random.Pick(kProject);
    case Flavour::kPersonnel:
      return random.Pick(kPersonnel);
    case Flavour::kArchive:
      return random.Pick(kArchive);
    case Flavour::kShared:
      return random.Pick(kShared);
  }
  return "";
}

}  // namespace qdw::database::sample
