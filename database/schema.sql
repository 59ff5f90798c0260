-- The tables and columns of the product database "VNDATABASE.mdb" that this tool reads or
-- writes, for the SQLite file that stands in for the Access database.
--
-- Values are read back as text. Ids, counts and flags are INTEGER so that they read as plain
-- decimal text ("12", "0", "1") and compare with numbers in WHERE clauses; a flag written as
-- '0' is stored as the number 0. Yes/No columns hold 1 for Yes and 0 for No. The stand-in
-- gives every text column COLLATE NOCASE when it creates the tables, because the Access driver
-- compares text without regard to case ("Report" = 'REPORT'). Columns may hold NULL, which reads
-- as empty text.

CREATE TABLE qln_folder (
  id INTEGER PRIMARY KEY,
  parent_folder__id INTEGER DEFAULT 0,
  name TEXT DEFAULT '',
  path TEXT DEFAULT '',
  shared INTEGER DEFAULT 0,
  share_type INTEGER DEFAULT 0,
  IsShareCreator INTEGER DEFAULT 0
);

CREATE TABLE qln_file_properties (
  id INTEGER PRIMARY KEY,
  folder__id INTEGER DEFAULT 0,
  pdf_name TEXT DEFAULT '',
  original_file_name TEXT DEFAULT '',
  original_file_extension TEXT DEFAULT '',
  is_open INTEGER DEFAULT 0,
  merged INTEGER DEFAULT 0,
  binder__id INTEGER DEFAULT 0,
  total_versions INTEGER DEFAULT 0
);

CREATE INDEX qln_file_properties_folder ON qln_file_properties (folder__id);

CREATE TABLE qln_merged_files (
  qln_file_properties__id INTEGER,
  folder__id INTEGER DEFAULT 0,
  original_file_name TEXT DEFAULT '',
  original_file_extension TEXT DEFAULT '',
  is_open INTEGER DEFAULT 0
);

CREATE INDEX qln_merged_files_document ON qln_merged_files (qln_file_properties__id);

CREATE TABLE qln_binder (
  id INTEGER PRIMARY KEY,
  total_files INTEGER DEFAULT 0,
  folder__id INTEGER DEFAULT 0
);

CREATE TABLE qln_file_version (
  id INTEGER PRIMARY KEY,
  file_properties__id INTEGER
);

CREATE INDEX qln_file_version_document ON qln_file_version (file_properties__id);

CREATE TABLE qln_printer (
  ID INTEGER PRIMARY KEY,
  Icon_Path TEXT DEFAULT ''
);
