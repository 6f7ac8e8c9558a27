-- Schema of the shell's database, Firebird 3 (dialect 3, default character
-- set WIN1252). Codes are VARCHAR (never CHAR): Qt's driver returns CHAR
-- values padded with blanks.
-- Statements end with ';', PSQL bodies with '^' between the SET TERM lines.
-- Search lists filter texts through the collation WIN_PTBR of WIN1252, which
-- ignores case and accents ("conceicao" finds "Conceição"): the data layer
-- casts the searched value to WIN1252 text with that collation. A filter
-- that few products match reads PESQ_PRODUTO (folded texts, see INDICEPESQ)
-- first, and only the products it finds.

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
    DSCONJUNTO    VARCHAR(8000) CHARACTER SET UTF8 NOT NULL,
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

-- Search indexes: a table per list searched, so that a filter that few rows
-- match reads a narrow table of folded texts instead of folding the rows
-- (SearchIndexes). INDICEPESQ declares them: a list whose key is NMCHAVE
-- and whose searched columns are all among DSCOLUNAS uses NMINDICE, made
-- from table NMTABELA; it holds the key in CHAVE and, in TEXTO, the folded
-- columns joined by the character 1, which no search holds. A trigger
-- (below) keeps it, so any program can write the table.
CREATE TABLE INDICEPESQ (
    NMINDICE      VARCHAR(30)  NOT NULL PRIMARY KEY,
    NMCHAVE       VARCHAR(30)  NOT NULL,
    DSCOLUNAS     VARCHAR(200) NOT NULL,
    NMTABELA      VARCHAR(30)
);
CREATE TABLE PESQ_PRODUTO (
    CHAVE         VARCHAR(20)  NOT NULL PRIMARY KEY,
    TEXTO         VARCHAR(80)  NOT NULL
);
INSERT INTO INDICEPESQ VALUES ('PESQ_PRODUTO', 'CDARVPROD', 'CDARVPROD,NMPRODUTO', 'PRODUTO');

SET TERM ^ ;

-- PARAM(value): one row whose single column PARAM holds value, null included.
-- Procedure inputs are nullable, so a NULL bound here stays NULL.
CREATE PROCEDURE PARAM (VALOR VARCHAR(8191))
RETURNS (PARAM VARCHAR(8191))
AS
BEGIN
    PARAM = VALOR;
    SUSPEND;
END^

-- NVLSTR(a, b): b when a is null, else a.
CREATE FUNCTION NVLSTR (A VARCHAR(8191), B VARCHAR(8191))
RETURNS VARCHAR(8191)
AS
BEGIN
    IF (A IS NULL) THEN
        RETURN B;
    RETURN A;
END^

-- INSTR(text, part): position of part inside text, 0 when absent, null when
-- either is null.
CREATE FUNCTION INSTR (TEXTO VARCHAR(8191), PARTE VARCHAR(8191))
RETURNS INTEGER
AS
BEGIN
    RETURN POSITION(PARTE IN TEXTO);
END^

-- ITENS_LISTA(list): the codes of a list joined by '_' (also ',', ';' or
-- blanks), one row each, in order, repeats included. The list is a text
-- blob, so its length has no limit (100,000 five-character codes make
-- 600,000 characters); statements join the rows (SELECT DISTINCT) instead of
-- searching the list once per row, which a long list makes slow. A piece
-- longer than 60 characters is no code and gives no row; a null list none.
CREATE PROCEDURE ITENS_LISTA (LISTA BLOB SUB_TYPE TEXT)
RETURNS (ITEM VARCHAR(60))
AS
DECLARE TAMANHO INTEGER;
DECLARE LIDO INTEGER = 0;
DECLARE PARTE VARCHAR(8000);
DECLARE PEDACO VARCHAR(8100) = '';
DECLARE INICIO INTEGER;
DECLARE FIM INTEGER;
DECLARE PULANDO SMALLINT = 0;
BEGIN
    IF (LISTA IS NULL) THEN
        EXIT;
    TAMANHO = CHAR_LENGTH(LISTA);
    WHILE (LIDO < TAMANHO) DO
    BEGIN
        PARTE = SUBSTRING(LISTA FROM LIDO + 1 FOR 8000);
        LIDO = LIDO + 8000;
        PEDACO = REPLACE(REPLACE(REPLACE(PEDACO || PARTE, ',', '_'), ';', '_'), ' ', '_');
        IF (LIDO >= TAMANHO) THEN
            PEDACO = PEDACO || '_';
        INICIO = 1;
        FIM = POSITION('_', PEDACO, INICIO);
        WHILE (FIM > 0) DO
        BEGIN
            IF (PULANDO = 1) THEN
                PULANDO = 0;
            ELSE IF (FIM > INICIO AND FIM - INICIO <= 60) THEN
            BEGIN
                ITEM = SUBSTRING(PEDACO FROM INICIO FOR FIM - INICIO);
                SUSPEND;
            END
            INICIO = FIM + 1;
            FIM = POSITION('_', PEDACO, INICIO);
        END
        PEDACO = SUBSTRING(PEDACO FROM INICIO);
        -- The rest of a piece too long to be a code is skipped.
        IF (CHAR_LENGTH(PEDACO) > 60) THEN
        BEGIN
            PEDACO = '';
            PULANDO = 1;
        END
    END
END^

-- FOLD(text): the text lower-cased and without accents, as the program folds
-- every search: LOWER, then each lower-case letter of WIN1252 that carries
-- an accent becomes its plain letter; NULL stays NULL.
CREATE FUNCTION FOLD (S VARCHAR(8191))
RETURNS VARCHAR(8191)
AS
BEGIN
    IF (S IS NULL) THEN
        RETURN NULL;
    S = LOWER(S);
    S = REPLACE(S, 'š', 's');
    S = REPLACE(S, 'ž', 'z');
    S = REPLACE(S, 'à', 'a');
    S = REPLACE(S, 'á', 'a');
    S = REPLACE(S, 'â', 'a');
    S = REPLACE(S, 'ã', 'a');
    S = REPLACE(S, 'ä', 'a');
    S = REPLACE(S, 'å', 'a');
    S = REPLACE(S, 'ç', 'c');
    S = REPLACE(S, 'è', 'e');
    S = REPLACE(S, 'é', 'e');
    S = REPLACE(S, 'ê', 'e');
    S = REPLACE(S, 'ë', 'e');
    S = REPLACE(S, 'ì', 'i');
    S = REPLACE(S, 'í', 'i');
    S = REPLACE(S, 'î', 'i');
    S = REPLACE(S, 'ï', 'i');
    S = REPLACE(S, 'ñ', 'n');
    S = REPLACE(S, 'ò', 'o');
    S = REPLACE(S, 'ó', 'o');
    S = REPLACE(S, 'ô', 'o');
    S = REPLACE(S, 'õ', 'o');
    S = REPLACE(S, 'ö', 'o');
    S = REPLACE(S, 'ù', 'u');
    S = REPLACE(S, 'ú', 'u');
    S = REPLACE(S, 'û', 'u');
    S = REPLACE(S, 'ü', 'u');
    S = REPLACE(S, 'ý', 'y');
    S = REPLACE(S, 'ÿ', 'y');
    RETURN S;
END^

-- Kept in step by whoever writes PRODUTO, this program or another.
CREATE TRIGGER PESQ_PRODUTO_AIUD FOR PRODUTO AFTER INSERT OR UPDATE OR DELETE
AS
BEGIN
    IF (NOT INSERTING) THEN
        DELETE FROM PESQ_PRODUTO WHERE CHAVE = OLD.CDARVPROD;
    IF (NOT DELETING) THEN
        INSERT INTO PESQ_PRODUTO (CHAVE, TEXTO)
        VALUES (NEW.CDARVPROD, FOLD(NEW.CDARVPROD) || ASCII_CHAR(1) || FOLD(NEW.NMPRODUTO));
END^

SET TERM ; ^
