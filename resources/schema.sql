-- Pellorin.mdb: every table, relationship and saved query of Quorvane.
--
-- Conventions: keys are assigned by the database; text compares without regard to case (NOCASE);
-- Yes/No fields hold 0/1; dates are declared DATE and hold 'YYYY-MM-DD' text (the declared type is
-- what makes the ODBC driver hand them back as dates). The relationships cascade deletions of a
-- customer, respondent, parameter, question or survey to the rows that depend on it; the program
-- deletes such parents alone and relies on this.

-- Master data ----------------------------------------------------------------------------------

CREATE TABLE customer (
    custid INTEGER PRIMARY KEY AUTOINCREMENT,
    custname TEXT COLLATE NOCASE,
    Address TEXT COLLATE NOCASE,
    telno TEXT COLLATE NOCASE,
    email TEXT COLLATE NOCASE
);

CREATE TABLE respondent (
    respondentid INTEGER PRIMARY KEY AUTOINCREMENT,
    custid INTEGER REFERENCES customer (custid) ON DELETE CASCADE,
    respondentname TEXT COLLATE NOCASE,
    respondentdesignation TEXT COLLATE NOCASE,
    emailid TEXT COLLATE NOCASE
);

CREATE TABLE parameter (
    paramid INTEGER PRIMARY KEY AUTOINCREMENT,
    parametername TEXT COLLATE NOCASE
);

-- Type: 1 = scored question, 0 = descriptive question.
CREATE TABLE questions (
    questionid INTEGER PRIMARY KEY AUTOINCREMENT,
    question TEXT COLLATE NOCASE,
    Type INTEGER DEFAULT 0,
    paramid INTEGER REFERENCES parameter (paramid) ON DELETE CASCADE
);

-- Surveys ----------------------------------------------------------------------------------------

-- One row per customer and survey date, shared by all respondents surveyed on that date.
CREATE TABLE survey (
    surveyid INTEGER PRIMARY KEY AUTOINCREMENT,
    sdate DATE,
    custid INTEGER REFERENCES customer (custid) ON DELETE CASCADE
);

-- One row per question of one respondent's survey; "Order" runs 1..n within it.
CREATE TABLE responquesindex (
    respondentid INTEGER REFERENCES respondent (respondentid) ON DELETE CASCADE,
    questionid INTEGER REFERENCES questions (questionid) ON DELETE CASCADE,
    surveyid INTEGER REFERENCES survey (surveyid) ON DELETE CASCADE,
    "Order" INTEGER
);

-- One row per exported workbook. Rows stay when their survey or respondent goes: the log window
-- still lists (and deletes) the file, and deleting a survey date removes its rows itself.
CREATE TABLE log (
    custname TEXT COLLATE NOCASE,
    respname TEXT COLLATE NOCASE,
    xlsfilename TEXT COLLATE NOCASE,
    sdate DATE,
    surveyid INTEGER,
    respid INTEGER,
    Status INTEGER DEFAULT 0
);

CREATE TABLE standardmessage (
    customerid INTEGER REFERENCES customer (custid) ON DELETE CASCADE,
    standardmessage TEXT COLLATE NOCASE
);

-- Feedback ----------------------------------------------------------------------------------------

-- Answers are keyed by respondent, question and survey date. surveyid is not a foreign key: it is
-- taken from returned workbooks as they are, and deleting a survey date removes its answers itself.
CREATE TABLE feedbackobjective (
    feedbackobjid INTEGER PRIMARY KEY AUTOINCREMENT,
    respondentid INTEGER REFERENCES respondent (respondentid) ON DELETE CASCADE,
    questionid INTEGER REFERENCES questions (questionid) ON DELETE CASCADE,
    surveyid INTEGER,
    surveydate DATE,
    weightage INTEGER,
    score INTEGER
);

CREATE TABLE feedbackdescriptive (
    feedbackdescid INTEGER PRIMARY KEY AUTOINCREMENT,
    respondentid INTEGER REFERENCES respondent (respondentid) ON DELETE CASCADE,
    questionid INTEGER REFERENCES questions (questionid) ON DELETE CASCADE,
    surveyid INTEGER,
    surveydate DATE,
    weightage INTEGER,
    Description TEXT COLLATE NOCASE
);

-- Improvement tracking ----------------------------------------------------------------------------

CREATE TABLE actionplan (
    actionid INTEGER PRIMARY KEY AUTOINCREMENT,
    customerid INTEGER REFERENCES customer (custid) ON DELETE CASCADE,
    Action TEXT COLLATE NOCASE,
    "Date" DATE,
    targetdate DATE,
    Status INTEGER DEFAULT 0
);

-- Settings ---------------------------------------------------------------------------------------

CREATE TABLE setting (
    setting TEXT COLLATE NOCASE,
    checkeduser INTEGER DEFAULT 0
);

-- The program only ever updates this row, so it has to be here from the start.
INSERT INTO setting (setting, checkeduser) VALUES ('UserDefine', 0);

-- Working tables: emptied and refilled by their window at every use; no keys, no relationships. --

CREATE TABLE reportlinktable (
    question TEXT COLLATE NOCASE,
    respondentname TEXT COLLATE NOCASE,
    custname TEXT COLLATE NOCASE,
    Type INTEGER DEFAULT 0,
    sdate DATE,
    custid INTEGER,
    respondentid INTEGER,
    questionid INTEGER,
    paramid INTEGER,
    Parameter TEXT COLLATE NOCASE,
    weightage INTEGER,
    score INTEGER
);

CREATE TABLE copydetails (
    custid INTEGER,
    sdate DATE,
    respid INTEGER,
    surveyid INTEGER
);

CREATE TABLE report (
    responname TEXT COLLATE NOCASE,
    question TEXT COLLATE NOCASE,
    Parameter TEXT COLLATE NOCASE,
    sc INTEGER,
    wt INTEGER,
    Type INTEGER DEFAULT 0,
    Reply TEXT COLLATE NOCASE
);

-- Type here is text: the written answer, the score as digits, or the action's state.
CREATE TABLE reporttable (
    responname TEXT COLLATE NOCASE,
    question TEXT COLLATE NOCASE,
    Parameter TEXT COLLATE NOCASE,
    tablename TEXT COLLATE NOCASE,
    wt INTEGER,
    Type TEXT COLLATE NOCASE,
    sdate DATE
);

CREATE TABLE search (
    sdate DATE,
    "Desc" TEXT COLLATE NOCASE,
    custname TEXT COLLATE NOCASE,
    tablename TEXT COLLATE NOCASE,
    Id INTEGER
);

CREATE TABLE linetable (
    custname TEXT COLLATE NOCASE,
    Parameter TEXT COLLATE NOCASE,
    sindex REAL,
    sdate DATE
);

CREATE TABLE surveydateorder (
    sdate DATE,
    roworder INTEGER
);

CREATE TABLE scattertable (
    custname TEXT COLLATE NOCASE,
    Parameter TEXT COLLATE NOCASE,
    wt REAL,
    sc REAL
);

-- Look-ups -------------------------------------------------------------------------------------
-- Besides the look-ups by name, id and date, the indexes on child keys keep cascading deletes from
-- scanning whole tables.

CREATE INDEX customer_custname ON customer (custname);
CREATE INDEX respondent_custid ON respondent (custid, respondentname);
CREATE INDEX parameter_parametername ON parameter (parametername);
CREATE INDEX questions_paramid ON questions (paramid, question);
CREATE INDEX survey_custid_sdate ON survey (custid, sdate);
CREATE INDEX responquesindex_respondent_survey ON responquesindex (respondentid, surveyid);
CREATE INDEX responquesindex_surveyid ON responquesindex (surveyid);
CREATE INDEX responquesindex_questionid ON responquesindex (questionid);
CREATE INDEX log_xlsfilename ON log (xlsfilename);
CREATE INDEX log_respid_sdate ON log (respid, sdate);
CREATE INDEX standardmessage_customerid ON standardmessage (customerid);
CREATE INDEX feedbackobjective_answer ON feedbackobjective (respondentid, questionid, surveydate);
CREATE INDEX feedbackobjective_questionid ON feedbackobjective (questionid);
CREATE INDEX feedbackdescriptive_answer ON feedbackdescriptive (respondentid, questionid, surveydate);
CREATE INDEX feedbackdescriptive_questionid ON feedbackdescriptive (questionid);
CREATE INDEX actionplan_customerid_date ON actionplan (customerid, "Date");

-- Saved queries --------------------------------------------------------------------------------

-- Customers with their respondents; a customer without respondents has no row.
CREATE VIEW custresp AS
SELECT customer.custid, customer.custname, customer.Address, customer.telno, customer.email,
       respondent.respondentid, respondent.respondentname, respondent.respondentdesignation, respondent.emailid
FROM customer
INNER JOIN respondent ON respondent.custid = customer.custid;

-- Parameters with their questions.
CREATE VIEW param AS
SELECT parameter.paramid, parameter.parametername, questions.questionid, questions.question, questions.Type
FROM parameter
INNER JOIN questions ON questions.paramid = parameter.paramid;

-- Every question of every respondent's survey, with all that names it.
CREATE VIEW responquery AS
SELECT responquesindex.respondentid, respondent.respondentname, responquesindex.surveyid, survey.sdate,
       survey.custid, customer.custname, responquesindex."Order", responquesindex.questionid,
       questions.question, questions.Type, questions.paramid, parameter.parametername
FROM responquesindex
INNER JOIN survey ON survey.surveyid = responquesindex.surveyid
INNER JOIN respondent ON respondent.respondentid = responquesindex.respondentid
INNER JOIN customer ON customer.custid = survey.custid
INNER JOIN questions ON questions.questionid = responquesindex.questionid
INNER JOIN parameter ON parameter.paramid = questions.paramid;

-- One row per customer, respondent and survey date that still has a question row.
CREATE VIEW existingsurvey AS
SELECT DISTINCT survey.custid, customer.custname, responquesindex.respondentid, respondent.respondentname,
       survey.sdate
FROM survey
INNER JOIN responquesindex ON responquesindex.surveyid = survey.surveyid
INNER JOIN respondent ON respondent.respondentid = responquesindex.respondentid
INNER JOIN customer ON customer.custid = survey.custid;

-- Scored answers with their question, parameter, respondent and customer.
CREATE VIEW objquery AS
SELECT feedbackobjective.feedbackobjid, customer.custid, customer.custname, feedbackobjective.respondentid,
       respondent.respondentname, feedbackobjective.questionid, questions.question, parameter.parametername,
       feedbackobjective.surveyid, feedbackobjective.surveydate, feedbackobjective.weightage,
       feedbackobjective.score
FROM feedbackobjective
INNER JOIN questions ON questions.questionid = feedbackobjective.questionid
INNER JOIN parameter ON parameter.paramid = questions.paramid
INNER JOIN respondent ON respondent.respondentid = feedbackobjective.respondentid
INNER JOIN customer ON customer.custid = respondent.custid;

-- Descriptive answers, joined as objquery.
CREATE VIEW descquery AS
SELECT feedbackdescriptive.feedbackdescid, customer.custid, customer.custname, feedbackdescriptive.respondentid,
       respondent.respondentname, feedbackdescriptive.questionid, questions.question, parameter.parametername,
       feedbackdescriptive.surveyid, feedbackdescriptive.surveydate, feedbackdescriptive.weightage,
       feedbackdescriptive.Description
FROM feedbackdescriptive
INNER JOIN questions ON questions.questionid = feedbackdescriptive.questionid
INNER JOIN parameter ON parameter.paramid = questions.paramid
INNER JOIN respondent ON respondent.respondentid = feedbackdescriptive.respondentid
INNER JOIN customer ON customer.custid = respondent.custid;

-- The satisfaction index and the performance matrix average scores, so both read scored answers
-- only: a descriptive answer carries a weightage but no score.
CREATE VIEW scatterqry AS
SELECT customer.custname, parameter.parametername, feedbackobjective.surveydate, feedbackobjective.weightage,
       feedbackobjective.score
FROM feedbackobjective
INNER JOIN questions ON questions.questionid = feedbackobjective.questionid
INNER JOIN parameter ON parameter.paramid = questions.paramid
INNER JOIN respondent ON respondent.respondentid = feedbackobjective.respondentid
INNER JOIN customer ON customer.custid = respondent.custid;

CREATE VIEW scatter AS
SELECT customer.custname, parameter.parametername, feedbackobjective.surveydate AS sdate,
       feedbackobjective.weightage, feedbackobjective.score
FROM feedbackobjective
INNER JOIN questions ON questions.questionid = feedbackobjective.questionid
INNER JOIN parameter ON parameter.paramid = questions.paramid
INNER JOIN respondent ON respondent.respondentid = feedbackobjective.respondentid
INNER JOIN customer ON customer.custid = respondent.custid;

-- Improvement actions with their customer's name.
CREATE VIEW "action" AS
SELECT actionplan.actionid, actionplan.customerid, customer.custname, actionplan.Action, actionplan."Date",
       actionplan.targetdate, actionplan.Status
FROM actionplan
INNER JOIN customer ON customer.custid = actionplan.customerid;
