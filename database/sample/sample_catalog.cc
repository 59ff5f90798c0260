#include "database/sample/sample_catalog.h"

#include <algorithm>
#include <map>

#include "database/database_paths.h"
#include "database/sample/sample_names.h"
#include "database/sample/sample_random.h"
#include "database/sql_text.h"
#include "platform/windows_path.h"

namespace qdw::database::sample {
namespace {

constexpr uint64_t kBytesPerDocument = 150 * 1024;
constexpr uint64_t kMinimumDocuments = 12;
constexpr uint64_t kMaximumDocuments = 60000;
constexpr uint64_t kSmallestAverage = 6 * 1024;
// Installation path the printer table still names after the product was moved.
constexpr char kFormerSettingsFolder[] = "C:\\Program Files\\VARNOLD\\QDW\\Settings";

struct FolderRow {
  int id = 0;
  int parent = 0;
  std::string name;
  std::string path;
  bool shared = false;
  int share_type = 0;
  bool creator = false;
};

struct PartRow {
  std::string merged_id;
  std::string folder_id;
  std::string name;
  std::string extension;
};

struct DocumentFolder {
  int id = 0;
  std::string name;
  std::string directory;
  Flavour flavour = Flavour::kInbox;
  std::string binder_id;
  std::vector<size_t> unmerged;  // documents that may still become parts of a merged one
};

class CatalogPlanner {
 public:
  CatalogPlanner(const std::string& repository_path, const SampleOptions& options)
      : options_(options), random_(0x5EEDF00DULL ^ (uint64_t{options.seed} << 17)) {
    SampleSummary& s = catalog_.summary;
    s.product_folder = repository_path + "\\VARNOLD";
    s.qdw_folder = s.product_folder + "\\QDW";
    s.qdwie_folder = s.product_folder + "\\QDWie";
    s.database_path = DatabasePathUnder(s.qdw_folder);
    s.settings_folder = s.qdw_folder + "\\Settings";
    document_goal_ = std::clamp<uint64_t>(options.target_bytes / kBytesPerDocument,
                                          kMinimumDocuments, kMaximumDocuments);
    average_ = std::max<uint64_t>(options.target_bytes / document_goal_, kSmallestAverage);
  }

  SampleCatalog Build() {
    PlanFixedContent();
    PlanFolders();
    PlanDocuments();
    WriteStatements();
    return std::move(catalog_);
  }

 private:
  SampleSummary& summary() { return catalog_.summary; }

  uint64_t Vary(uint64_t average) {
    return std::max<uint64_t>(average / 2 + random_.Below(average + 1), 256);
  }

  void AddFolderPath(const std::string& path) { summary().folders.push_back(path); }

  void AddFile(const std::string& path, ContentKind kind, uint64_t size, const std::string& title,
               SampleDocument* owner) {
    catalog_.files.push_back({path, kind, size, random_.Next(), title});
    summary().total_bytes += size;
    summary().file_count += 1;
    if (owner) owner->files.push_back(path);
  }

  int AddFolderRow(int parent, const std::string& name, const std::string& path, bool shared,
                   int share_type, bool creator) {
    const int id = static_cast<int>(folder_rows_.size()) + 1;
    folder_rows_.push_back({id, parent, name, path, shared, share_type, creator});
    return id;
  }

  DocumentFolder& AddDocumentFolder(int parent, const std::string& name,
                                    const std::string& directory, Flavour flavour,
                                    bool shared = false) {
    AddFolderPath(directory);
    DocumentFolder folder;
    folder.id = AddFolderRow(parent, name, directory, shared, 0, shared);
    folder.name = name;
    folder.directory = directory;
    folder.flavour = flavour;
    document_folders_.push_back(folder);
    return document_folders_.back();
  }

  void PlanFixedContent() {
    const SampleSummary& s = summary();
    AddFolderPath(s.product_folder);
    AddFolderPath(s.qdw_folder);
    AddFolderPath(s.qdw_folder + "\\DataBase");
    AddFolderPath(s.settings_folder);
    for (const char* icon : {"QDW PDF Printer.ico", "QDW Fax.ico", "QDW Scanner.ico"}) {
      AddFile(s.settings_folder + "\\" + icon, ContentKind::kIcon, random_.Between(2000, 9000), "",
              nullptr);
      summary().printer_icons.push_back(s.settings_folder + "\\" + icon);
    }
    AddFile(s.settings_folder + "\\UserSettings.xml", ContentKind::kXml, 2400, "User settings",
            nullptr);
    AddFile(s.settings_folder + "\\Stamps.xml", ContentKind::kXml, 1800, "Stamps", nullptr);
    AddFolderPath(s.qdw_folder + "\\FTSIndex");
    AddFile(s.qdw_folder + "\\FTSIndex\\catalog.wci", ContentKind::kBinary,
            std::clamp<uint64_t>(options_.target_bytes / 200, 16 * 1024, 8 << 20), "", nullptr);
    AddFile(s.qdw_folder + "\\FTSIndex\\00010001.ci", ContentKind::kBinary,
            std::clamp<uint64_t>(options_.target_bytes / 400, 8 * 1024, 4 << 20), "", nullptr);
    AddFolderPath(s.qdwie_folder);
    AddFolderPath(s.qdwie_folder + "\\Templates");
    AddFile(s.qdwie_folder + "\\Templates\\Letter.dotx", ContentKind::kOffice, Vary(24000), "",
            nullptr);
    AddFile(s.qdwie_folder + "\\Templates\\Invoice.xltx", ContentKind::kOffice, Vary(18000), "",
            nullptr);
    // An empty folder, which only the folder markers carry through an archive.
    AddFolderPath(s.qdwie_folder + "\\Import");
    AddFolderPath(s.qdwie_folder + "\\Log");
    AddFile(s.qdwie_folder + "\\Log\\QDWie.log", ContentKind::kText, Vary(8000), "", nullptr);
  }

  void PlanFolders() {
    const std::string& qdw = summary().qdw_folder;
    AddFolderRow(0, "QDW", qdw, false, 0, false);  // the root; top-level folders have parent 1
    AddDocumentFolder(1, "Inbox", qdw + "\\Inbox", Flavour::kInbox);

    const int finance = AddDocumentFolder(1, "Finance", qdw + "\\Finance", Flavour::kFinance).id;
    const int first_year = static_cast<int>(random_.Between(2020, 2022));
    for (int year = first_year; year <= 2024; ++year) {
      const std::string dir = qdw + "\\Finance\\" + std::to_string(year);
      const int year_id =
          AddDocumentFolder(finance, std::to_string(year), dir, Flavour::kFinance).id;
      AddDocumentFolder(year_id, "Invoices", dir + "\\Invoices", Flavour::kFinance);
      AddDocumentFolder(year_id, "Receipts", dir + "\\Receipts", Flavour::kFinance);
    }

    const int customers =
        AddDocumentFolder(1, "Customers", qdw + "\\Customers", Flavour::kCustomer).id;
    for (const std::string& name :
         CustomerNames(random_, std::clamp<uint64_t>(document_goal_ / 80, 3, 40))) {
      AddDocumentFolder(customers, name, qdw + "\\Customers\\" + name, Flavour::kCustomer);
    }
    const int projects = AddDocumentFolder(1, "Projects", qdw + "\\Projects", Flavour::kProject).id;
    for (const std::string& name :
         ProjectNames(random_, std::clamp<uint64_t>(document_goal_ / 100, 2, 25))) {
      AddDocumentFolder(projects, name, qdw + "\\Projects\\" + name, Flavour::kProject);
    }
    const int personnel =
        AddDocumentFolder(1, "Human Resources", qdw + "\\Human Resources", Flavour::kPersonnel).id;
    for (const char* name : {"Contracts", "Applications"}) {
      AddDocumentFolder(personnel, name, qdw + "\\Human Resources\\" + name, Flavour::kPersonnel);
    }
    const int archive = AddDocumentFolder(1, "Archive", qdw + "\\Archive", Flavour::kArchive).id;
    for (const char* name : {"2018", "2019"}) {
      AddDocumentFolder(archive, name, qdw + "\\Archive\\" + name, Flavour::kArchive);
    }

    std::vector<std::string> share_names = {"Team Share"};
    if (options_.seed % 2 == 1) share_names.push_back("Reception Desk");
    for (const std::string& name : share_names) {
      DocumentFolder& share =
          AddDocumentFolder(1, name, qdw + "\\" + name, Flavour::kShared, /*shared=*/true);
      summary().shares.push_back({name, share.directory, std::to_string(share.id), true});
      const int share_id = share.id;
      AddDocumentFolder(share_id, "Scans", qdw + "\\" + name + "\\Scans", Flavour::kShared);
    }
    for (const std::string& path : options_.outside_share_paths) {
      const std::string name = platform::FileNamePart(platform::StripTrailingSeparator(path));
      DocumentFolder& share = AddDocumentFolder(1, name, path, Flavour::kShared, /*shared=*/true);
      summary().shares.push_back({name, path, std::to_string(share.id), false});
    }
    // A folder another user shares with this one: a row without a folder of its own here.
    AddFolderRow(1, "Shared by Anna", "\\\\ANNA-PC\\Anna Share", true, 1, false);
  }

  void PlanDocuments() {
    size_t since_merge = 0;
    while (summary().documents.size() < kMinimumDocuments ||
           summary().total_bytes < options_.target_bytes) {
      const size_t count = summary().documents.size();
      // The first documents show every kind of record at least once, in a few folders.
      DocumentFolder& folder = count < 8
                                   ? document_folders_[count % 3]
                                   : document_folders_[random_.Below(document_folders_.size())];
      PlanDocument(folder, count);
      if (++since_merge >= 16 || count == 6) {
        if (PlanMerged()) since_merge = 0;
      }
    }
  }

  void PlanDocument(DocumentFolder& folder, size_t index) {
    SampleDocument doc;
    doc.id = std::to_string(summary().documents.size() + 1);
    doc.folder_id = std::to_string(folder.id);
    doc.directory = folder.directory;
    const std::string title = DocumentTitle(random_, folder.flavour, folder.name,
                                            static_cast<int>(summary().documents.size() + 1));
    doc.pdf_name = title;
    doc.original_extension = index == 0 ? "docx" : OriginalExtension(random_, folder.flavour);
    if (!doc.original_extension.empty()) doc.original_name = title;
    doc.is_open = index == 1 || random_.Percent(2);
    doc.binder_id = "0";
    if (index == 2 || index == 4 || random_.Percent(20)) {
      if (folder.binder_id.empty()) folder.binder_id = std::to_string(++binder_count_);
      doc.binder_id = folder.binder_id;
      binder_sizes_[doc.binder_id] += 1;
      binder_folders_[doc.binder_id] = doc.folder_id;
    }

    const std::string stem = doc.directory + "\\" + title;
    AddFile(stem + ".pdf", ContentKind::kPdf, Vary(average_ * 45 / 100), title, &doc);
    AddFile(stem + ".xml", ContentKind::kXml, random_.Between(900, 2600), title, &doc);
    if (!doc.original_name.empty()) {
      AddFile(stem + "." + doc.original_extension, KindForExtension(doc.original_extension),
              Vary(average_ * 40 / 100), title, &doc);
    }
    if (index == 0 || random_.Percent(7)) {
      doc.folders.push_back(stem + "$#");
      AddFolderPath(stem + "$#");
      AddFile(stem + "$#\\annotations.xml", ContentKind::kXml, 1200, title, &doc);
      AddFile(stem + "$#\\page1.png", ContentKind::kPng, Vary(average_ / 10), "", &doc);
    }
    const uint64_t versions = index == 0 ? 2 : (random_.Percent(18) ? random_.Between(1, 3) : 0);
    for (uint64_t v = 0; v < versions; ++v) PlanVersion(doc, stem, index == 0 && v == 1);

    folder.unmerged.push_back(summary().documents.size());
    summary().documents.push_back(std::move(doc));
  }

  void PlanVersion(SampleDocument& doc, const std::string& stem, bool with_folder) {
    const std::string version_id = std::to_string(++version_count_);
    doc.version_ids.push_back(version_id);
    const std::string prefix = stem + "$#version" + version_id;
    AddFile(prefix + ".pdf", ContentKind::kPdf, Vary(average_ * 30 / 100), doc.pdf_name, &doc);
    AddFile(prefix + ".xml", ContentKind::kXml, random_.Between(900, 2000), doc.pdf_name, &doc);
    if (!doc.original_name.empty()) {
      AddFile(prefix + "." + doc.original_extension, KindForExtension(doc.original_extension),
              Vary(average_ * 25 / 100), doc.pdf_name, &doc);
    }
    if (with_folder || random_.Percent(10)) {
      doc.folders.push_back(prefix + "$#");
      AddFolderPath(prefix + "$#");
      AddFile(prefix + "$#\\page1.png", ContentKind::kPng, Vary(average_ / 12), "", &doc);
    }
  }

  // Merges two or three documents of one folder into a new merged document.
  bool PlanMerged() {
    std::vector<size_t> candidates;
    for (size_t i = 0; i < document_folders_.size(); ++i) {
      if (document_folders_[i].unmerged.size() >= 2) candidates.push_back(i);
    }
    if (candidates.empty()) return false;
    DocumentFolder& folder = document_folders_[candidates[random_.Below(candidates.size())]];
    const bool first = merged_count_++ == 0;

    SampleDocument merged;
    merged.id = std::to_string(summary().documents.size() + 1);
    merged.folder_id = std::to_string(folder.id);
    merged.directory = folder.directory;
    merged.pdf_name = "Merged documents" + std::string(" ") + merged.id;
    merged.original_name = merged.pdf_name;
    merged.original_extension = "pdf";
    merged.binder_id = "0";
    merged.merged = true;
    const std::string stem = merged.directory + "\\" + merged.pdf_name;

    const size_t parts = std::min<size_t>(folder.unmerged.size(), random_.Between(2, 3));
    uint64_t merged_size = 0;
    for (size_t p = 0; p < parts; ++p) {
      const size_t index = folder.unmerged[random_.Below(folder.unmerged.size())];
      folder.unmerged.erase(std::find(folder.unmerged.begin(), folder.unmerged.end(), index));
      const SampleDocument& part = summary().documents[index];
      merged.part_document_ids.push_back(part.id);
      merged_size += average_ * 40 / 100;
      if (!part.original_name.empty()) {
        part_rows_.push_back(
            {merged.id, merged.folder_id, part.original_name, part.original_extension});
      } else if (first || random_.Percent(50)) {
        // The merge keeps a second copy of a PDF part, named with the marker.
        part_rows_.push_back({merged.id, merged.folder_id, part.pdf_name + "$_#",
                              random_.Percent(20) ? "PDF" : "pdf"});
        AddFile(merged.directory + "\\" + part.pdf_name + "$_#.pdf", ContentKind::kPdf,
                Vary(average_ * 40 / 100), part.pdf_name, &merged);
      } else {
        part_rows_.push_back({merged.id, merged.folder_id, part.pdf_name, "pdf"});
      }
    }
    AddFile(stem + ".pdf", ContentKind::kPdf, merged_size, merged.pdf_name, &merged);
    AddFile(stem + ".xml", ContentKind::kXml, 1500, merged.pdf_name, &merged);
    summary().documents.push_back(std::move(merged));
    return true;
  }

  void WriteStatements() {
    std::vector<std::string>& out = catalog_.statements;
    auto flag = [](bool value) { return std::string(value ? "Yes" : "No"); };
    for (const FolderRow& f : folder_rows_) {
      out.push_back(
          "INSERT INTO qln_folder (id, parent_folder__id, name, path, shared, "
          "share_type, IsShareCreator) VALUES (" +
          std::to_string(f.id) + ", " + std::to_string(f.parent) + ", " + SqlString(f.name) + ", " +
          SqlString(f.path) + ", " + flag(f.shared) + ", " + std::to_string(f.share_type) + ", " +
          flag(f.creator) + ")");
    }
    for (const SampleDocument& d : summary().documents) {
      out.push_back(
          "INSERT INTO qln_file_properties (id, folder__id, pdf_name, "
          "original_file_name, original_file_extension, is_open, merged, binder__id, "
          "total_versions) VALUES (" +
          d.id + ", " + d.folder_id + ", " + SqlString(d.pdf_name) + ", " +
          SqlString(d.original_name) + ", " + SqlString(d.original_extension) + ", " +
          (d.is_open ? "1" : "0") + ", " + (d.merged ? "1" : "0") + ", " + d.binder_id + ", " +
          std::to_string(d.version_ids.size()) + ")");
      for (const std::string& version : d.version_ids) {
        out.push_back("INSERT INTO qln_file_version (id, file_properties__id) VALUES (" + version +
                      ", " + d.id + ")");
      }
    }
    for (const PartRow& p : part_rows_) {
      out.push_back(
          "INSERT INTO qln_merged_files (qln_file_properties__id, folder__id, "
          "original_file_name, original_file_extension, is_open) VALUES (" +
          p.merged_id + ", " + p.folder_id + ", " + SqlString(p.name) + ", " +
          SqlString(p.extension) + ", 0)");
    }
    for (const auto& [binder, size] : binder_sizes_) {
      out.push_back("INSERT INTO qln_binder (id, total_files, folder__id) VALUES (" + binder +
                    ", " + std::to_string(size) + ", " + binder_folders_[binder] + ")");
    }
    const std::string& settings = summary().settings_folder;
    const std::vector<std::string> icons = {
        settings + "\\QDW PDF Printer.ico=0",
        std::string(kFormerSettingsFolder) + "\\QDW Fax.ico=1",
        std::string(kFormerSettingsFolder) + "\\QDW Label.ico=2", settings + "\\QDW Scanner.ico"};
    for (size_t i = 0; i < icons.size(); ++i) {
      out.push_back("INSERT INTO qln_printer (ID, Icon_Path) VALUES (" + std::to_string(i + 1) +
                    ", " + SqlString(icons[i]) + ")");
    }
  }

  const SampleOptions& options_;
  SampleRandom random_;
  SampleCatalog catalog_;
  uint64_t document_goal_ = kMinimumDocuments;
  uint64_t average_ = kSmallestAverage;
  std::vector<FolderRow> folder_rows_;
  std::vector<DocumentFolder> document_folders_;
  std::vector<PartRow> part_rows_;
  std::map<std::string, int> binder_sizes_;
  std::map<std::string, std::string> binder_folders_;
  int binder_count_ = 0;
  int version_count_ = 0;
  int merged_count_ = 0;
};

}  // namespace

SampleCatalog PlanSampleRepository(const std::string& repository_path,
                                   const SampleOptions& options) {
  return CatalogPlanner(repository_path, options).Build();
}

}  // namespace qdw::database::sample
