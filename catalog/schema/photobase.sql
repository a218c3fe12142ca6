-- A PhotoBase file: the full-size JPEG of each photo under its photo id.
CREATE TABLE Photos (
  Id    INTEGER PRIMARY KEY,
  Photo BLOB
);
