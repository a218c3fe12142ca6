-- The photo list: the index of the catalogue. Column order keeps the
-- thumbnail last so that the small columns of a row stay together.
CREATE TABLE ListPhoto (
  id         INTEGER PRIMARY KEY,  -- the photo id, assigned by the program
  Base       INTEGER,
  Date       TEXT,
  Albums     INTEGER,
  Themes     INTEGER,
  Rank       INTEGER,
  Text       TEXT,
  Exif       TEXT,
  Video      BOOLEAN DEFAULT 0,
  SmallPhoto BLOB
);
-- Leads with Date for the grid's order and covers every column the filters
-- read, so the catalogue query never touches the thumbnails.
CREATE INDEX ListPhotoDate ON ListPhoto (Date, id, Base, Albums, Themes, Rank, Text);

-- Counters: assigned by the engine, never reused.
CREATE TABLE Albums (
  Id   INTEGER PRIMARY KEY AUTOINCREMENT,
  Name VARCHAR(50)
);
CREATE TABLE Themes (
  Id   INTEGER PRIMARY KEY AUTOINCREMENT,
  Name VARCHAR(50)
);
CREATE TABLE Bases (
  Id       INTEGER PRIMARY KEY AUTOINCREMENT,
  Label    VARCHAR(25),
  ReadOnly BOOLEAN NOT NULL DEFAULT 0,
  File     VARCHAR(255)
);
