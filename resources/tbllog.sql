-- The log table: nine text columns, in this order.
CREATE TABLE tblLog (
  calls   TEXT,
  rstr    TEXT,
  gridr   TEXT,
  rsts    TEXT,
  grids   TEXT,
  flddate TEXT,
  fldtime TEXT,
  uband   TEXT,
  umode   TEXT
);
-- The dupe query looks a station up by call, ignoring case.
CREATE INDEX tblLog_calls ON tblLog (calls COLLATE NOCASE);
-- The reload reads the table in date and time order.
CREATE INDEX tblLog_when ON tblLog (flddate, fldtime);
