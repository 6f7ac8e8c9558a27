-- Schema of the shell's database, SQLite.
-- Codes are VARCHAR (never CHAR) so that every engine returns them unpadded.
-- The routines PARAM, NVLSTR, INSTR, FOLD and FOLD_INSTR are registered on
-- the connection by the shell (SqliteRoutines), not stored here.

CREATE TABLE FILIAL (
    CDFILIAL      VARCHAR(4)  NOT NULL PRIMARY KEY,
    NMFILIAL      VARCHAR(30) NOT NULL,
    IDCNTRRESC    VARCHAR(1)  DEFAULT 'N',
    IDFILCENTXEV  VARCHAR(1)  DEFAULT 'N',
    CDFILCENTXEV  VARCHAR(4)
);
CREATE INDEX IX_FILIAL_CENTRAL ON FILIAL (CDFILCENTXEV, CDFILIAL);

CREATE TABLE GRUPSERV (
    CDGRUPSERV    VARCHAR(3)  NOT NULL PRIMARY KEY,
    NMGRUPSERV    VARCHAR(30) NOT NULL
);

CREATE TABLE SERVICO (
    CDFILIAL      VARCHAR(4)  NOT NULL,
    CDSERVFILI    VARCHAR(5)  NOT NULL,
    NMSERVICO     VARCHAR(40) NOT NULL,
    CDGRUPSERV    VARCHAR(3)  NOT NULL,
    PRIMARY KEY (CDFILIAL, CDSERVFILI)
);

CREATE TABLE PRODUTO (
    CDARVPROD     VARCHAR(20) NOT NULL PRIMARY KEY,
    NMPRODUTO     VARCHAR(50) NOT NULL,
    CDNVPRODUTO   VARCHAR(1)  NOT NULL,
    IDESTOCAVEL   VARCHAR(1)  DEFAULT 'N' NOT NULL
);

-- Processing date of each branch (DataProc).
CREATE TABLE PROCFILIAL (
    CDFILIAL      VARCHAR(4)  NOT NULL PRIMARY KEY,
    DTPROCESSO    DATE        NOT NULL
);

-- Module status of each branch (ModuFili): IDSITUACAO 'F' released to the
-- branch, 'M' released through its head office, 'R' refused (DSMENSAGEM).
CREATE TABLE MODUFILIAL (
    CDFILIAL      VARCHAR(4)   NOT NULL,
    CDMODULO      VARCHAR(10)  NOT NULL,
    IDSITUACAO    VARCHAR(1)   NOT NULL,
    DSMENSAGEM    VARCHAR(200),
    PRIMARY KEY (CDFILIAL, CDMODULO)
);

-- Code pictures (DBPict, DBPictObj): level widths as "2,2,4" and the edit mask.
CREATE TABLE PICTCODIGO (
    NRTIPOPICT    INTEGER     NOT NULL PRIMARY KEY,
    NMPICTURE     VARCHAR(40) NOT NULL,
    DSNIVEIS      VARCHAR(40) NOT NULL,
    DSMASCARA     VARCHAR(60) NOT NULL
);

-- Cost types served by the costs server, listed in NRORDEM order.
CREATE TABLE TIPOCUSTO (
    NRTIPOCUSTO   INTEGER     NOT NULL PRIMARY KEY,
    NMTIPOCUSTO   VARCHAR(40) NOT NULL,
    NRORDEM       INTEGER     NOT NULL
);

-- Named parameter sets shared by the users of a central (the personal ones
-- stay in each user's data folder): the choices as JSON text, who made the
-- set (only they may change it) and when it last changed (UTC, ISO text).
CREATE TABLE CONJPARAM (
    CDFILCENTXEV  VARCHAR(4)  NOT NULL,
    CDTELA        VARCHAR(10) NOT NULL,
    NMCONJUNTO    VARCHAR(60) NOT NULL,
    DSCONJUNTO    TEXT NOT NULL,
    NMUSUARIO     VARCHAR(60) NOT NULL,
    DTALTERACAO   VARCHAR(19)  NOT NULL,
    PRIMARY KEY (CDFILCENTXEV, CDTELA, NMCONJUNTO)
);

-- Realised cost per branch, service, product, cost type and day.
CREATE TABLE CUSTREAL (
    CDFILIAL      VARCHAR(4)     NOT NULL,
    CDSERVFILI    VARCHAR(5)     NOT NULL,
    CDARVPROD     VARCHAR(20)    NOT NULL,
    NRTIPOCUSTO   INTEGER        NOT NULL,
    DTMOVIMENTO   DATE           NOT NULL,
    QTREAL        NUMERIC(15,3)  NOT NULL,
    VRCUSTREAL    NUMERIC(15,2)  NOT NULL
);
CREATE INDEX IX_CUSTREAL_FILIAL ON CUSTREAL (CDFILIAL, NRTIPOCUSTO, DTMOVIMENTO);

-- Search indexes of the search lists. Each is an FTS5 table with the trigram
-- tokenizer over folded copies (FOLD: lower case, no accents) of the columns
-- a list searches, so that a filter finds its rows without reading the whole
-- table. It holds the row's key, unfolded and not searched, in CHAVE, and
-- each folded column under the column's own name; its rowid is the table's.
-- INDICEPESQ declares them: a list whose key is NMCHAVE and whose searched
-- columns are all among DSCOLUNAS uses NMINDICE, made from table NMTABELA.
-- The triggers are plain SQL, so any program can write the table: they only
-- note the rowids written in PESQPENDENTE, and the program folds those rows
-- into the index before it searches (SearchIndexes).
CREATE TABLE INDICEPESQ (
    NMINDICE      VARCHAR(30)  NOT NULL PRIMARY KEY,
    NMCHAVE       VARCHAR(30)  NOT NULL,
    DSCOLUNAS     VARCHAR(200) NOT NULL,
    NMTABELA      VARCHAR(30)
);

CREATE TABLE PESQPENDENTE (
    NMINDICE      VARCHAR(30)  NOT NULL,
    NRLINHA       INTEGER      NOT NULL,
    PRIMARY KEY (NMINDICE, NRLINHA)
) WITHOUT ROWID;

CREATE VIRTUAL TABLE PRODUTO_PESQ USING fts5(CHAVE UNINDEXED, CDARVPROD, NMPRODUTO, tokenize = 'trigram');
INSERT INTO INDICEPESQ VALUES ('PRODUTO_PESQ', 'CDARVPROD', 'CDARVPROD,NMPRODUTO', 'PRODUTO');

SET TERM ^ ;
-- Each note is added only where it is missing, never through a conflict
-- clause: a statement's own clause (INSERT OR REPLACE, UPDATE OR FAIL, an
-- upsert) overrides the trigger's, so a trigger that relied on OR IGNORE
-- failed, or half-applied, whatever the writer asked. The BEFORE triggers
-- note the row that REPLACE is about to remove silently (its delete trigger
-- does not fire) and the row an upsert updates.
CREATE TRIGGER PRODUTO_PESQ_BI BEFORE INSERT ON PRODUTO BEGIN
    INSERT INTO PESQPENDENTE (NMINDICE, NRLINHA)
    SELECT 'PRODUTO_PESQ', P.rowid FROM PRODUTO P
     WHERE P.CDARVPROD = new.CDARVPROD
       AND NOT EXISTS (SELECT 1 FROM PESQPENDENTE WHERE NMINDICE = 'PRODUTO_PESQ' AND NRLINHA = P.rowid);
END^
CREATE TRIGGER PRODUTO_PESQ_BU BEFORE UPDATE OF CDARVPROD ON PRODUTO BEGIN
    INSERT INTO PESQPENDENTE (NMINDICE, NRLINHA)
    SELECT 'PRODUTO_PESQ', P.rowid FROM PRODUTO P
     WHERE P.CDARVPROD = new.CDARVPROD AND P.rowid <> old.rowid
       AND NOT EXISTS (SELECT 1 FROM PESQPENDENTE WHERE NMINDICE = 'PRODUTO_PESQ' AND NRLINHA = P.rowid);
END^
CREATE TRIGGER PRODUTO_PESQ_AI AFTER INSERT ON PRODUTO BEGIN
    INSERT INTO PESQPENDENTE (NMINDICE, NRLINHA)
    SELECT 'PRODUTO_PESQ', new.rowid
     WHERE NOT EXISTS (SELECT 1 FROM PESQPENDENTE WHERE NMINDICE = 'PRODUTO_PESQ' AND NRLINHA = new.rowid);
END^
CREATE TRIGGER PRODUTO_PESQ_AD AFTER DELETE ON PRODUTO BEGIN
    INSERT INTO PESQPENDENTE (NMINDICE, NRLINHA)
    SELECT 'PRODUTO_PESQ', old.rowid
     WHERE NOT EXISTS (SELECT 1 FROM PESQPENDENTE WHERE NMINDICE = 'PRODUTO_PESQ' AND NRLINHA = old.rowid);
END^
CREATE TRIGGER PRODUTO_PESQ_AU AFTER UPDATE ON PRODUTO BEGIN
    INSERT INTO PESQPENDENTE (NMINDICE, NRLINHA)
    SELECT 'PRODUTO_PESQ', old.rowid
     WHERE NOT EXISTS (SELECT 1 FROM PESQPENDENTE WHERE NMINDICE = 'PRODUTO_PESQ' AND NRLINHA = old.rowid);
    INSERT INTO PESQPENDENTE (NMINDICE, NRLINHA)
    SELECT 'PRODUTO_PESQ', new.rowid
     WHERE NOT EXISTS (SELECT 1 FROM PESQPENDENTE WHERE NMINDICE = 'PRODUTO_PESQ' AND NRLINHA = new.rowid);
END^
SET TERM ; ^
