-- The update database shipped beside the program: one row per program
-- version, saying whether updates exist for it ("True" or "False").
CREATE TABLE updates (
    Version TEXT,
    Updates TEXT
);

INSERT INTO updates (Version, Updates) VALUES ('1.0', 'False');
