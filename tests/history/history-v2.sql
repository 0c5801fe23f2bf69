-- A history file as the second version of its tables made it, with one check of one page.
CREATE TABLE events (time_ms INTEGER NOT NULL, kind TEXT NOT NULL);
CREATE TABLE pages (id INTEGER PRIMARY KEY, address TEXT NOT NULL UNIQUE);
CREATE TABLE checks (time_ms INTEGER NOT NULL, page INTEGER NOT NULL, outcome TEXT NOT NULL, up INTEGER NOT NULL, code INTEGER NOT NULL, ms INTEGER NOT NULL, lookup_ms INTEGER, connect_ms INTEGER, tls_ms INTEGER, first_byte_ms INTEGER, error TEXT NOT NULL);
CREATE INDEX checks_by_page ON checks (page, time_ms);
CREATE TABLE hourly (page INTEGER NOT NULL, hour INTEGER NOT NULL, checks INTEGER NOT NULL, up INTEGER NOT NULL, down INTEGER NOT NULL, min_ms INTEGER NOT NULL, total_ms INTEGER NOT NULL, max_ms INTEGER NOT NULL, PRIMARY KEY (page, hour)) WITHOUT ROWID;
CREATE TABLE daily (page INTEGER NOT NULL, day INTEGER NOT NULL, checks INTEGER NOT NULL, up INTEGER NOT NULL, down INTEGER NOT NULL, min_ms INTEGER NOT NULL, total_ms INTEGER NOT NULL, max_ms INTEGER NOT NULL, PRIMARY KEY (page, day)) WITHOUT ROWID;
CREATE TABLE outages (page INTEGER NOT NULL, start_ms INTEGER NOT NULL, end_ms INTEGER, reason TEXT NOT NULL);
CREATE INDEX outages_by_page ON outages (page, start_ms);
CREATE TABLE marks (page INTEGER PRIMARY KEY, status INTEGER NOT NULL, failed_checks INTEGER NOT NULL, alarmed INTEGER NOT NULL);
INSERT INTO pages VALUES (1, 'http://a.test/');
INSERT INTO checks VALUES (1765000000000, 1, 'Page Not Found', 0, 404, 12, NULL, 3, NULL, 9, 'Page not found: ');
INSERT INTO hourly VALUES (1, 490277, 1, 0, 1, 12, 12, 12);
INSERT INTO daily VALUES (1, 20428, 1, 0, 1, 12, 12, 12);
PRAGMA user_version = 2;
