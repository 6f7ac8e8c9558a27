-- Schema of the shell's database, PostgreSQL 15 (UTF8).
-- Codes are VARCHAR (never CHAR) so that every engine returns them unpadded.
-- Texts compare and sort in Portuguese dictionary order (ICU collation
-- pt-BR-x-icu) whatever the database's default: codes of digits and capital
-- letters sort as on the other engines, names as a dictionary does.
-- Identifiers are unquoted, so the server keeps them in lower case; the
-- statements, unquoted too, find them.
-- Statements end with ';', function bodies with '^' between the SET TERM lines.

-- The collation the statements name for Portuguese dictionary order
-- (ORDER BY NMPRODUTO COLLATE PTBR; unquoted, the name is ptbr): the same
-- ICU order as the columns' own.
CREATE COLLATION PTBR (provider = icu, locale = 'pt-BR');

CREATE TABLE FILIAL (
    CDFILIAL      VARCHAR(4) COLLATE "pt-BR-x-icu"  NOT NULL PRIMARY KEY,
    NMFILIAL      VARCHAR(30) COLLATE "pt-BR-x-icu" NOT NULL,
    IDCNTRRESC    VARCHAR(1) COLLATE "pt-BR-x-icu"  DEFAULT 'N',
    IDFILCENTXEV  VARCHAR(1) COLLATE "pt-BR-x-icu"  DEFAULT 'N',
    CDFILCENTXEV  VARCHAR(4) COLLATE "pt-BR-x-icu"
);
CREATE INDEX IX_FILIAL_CENTRAL ON FILIAL (CDFILCENTXEV, CDFILIAL);

CREATE TABLE GRUPSERV (
    CDGRUPSERV    VARCHAR(3) COLLATE "pt-BR-x-icu"  NOT NULL PRIMARY KEY,
    NMGRUPSERV    VARCHAR(30) COLLATE "pt-BR-x-icu" NOT NULL
);

CREATE TABLE SERVICO (
    CDFILIAL      VARCHAR(4) COLLATE "pt-BR-x-icu"  NOT NULL,
    CDSERVFILI    VARCHAR(5) COLLATE "pt-BR-x-icu"  NOT NULL,
    NMSERVICO     VARCHAR(40) COLLATE "pt-BR-x-icu" NOT NULL,
    CDGRUPSERV    VARCHAR(3) COLLATE "pt-BR-x-icu"  NOT NULL,
    PRIMARY KEY (CDFILIAL, CDSERVFILI)
);

CREATE TABLE PRODUTO (
    CDARVPROD     VARCHAR(20) COLLATE "pt-BR-x-icu" NOT NULL PRIMARY KEY,
    NMPRODUTO     VARCHAR(50) COLLATE "pt-BR-x-icu" NOT NULL,
    CDNVPRODUTO   VARCHAR(1) COLLATE "pt-BR-x-icu"  NOT NULL,
    IDESTOCAVEL   VARCHAR(1) COLLATE "pt-BR-x-icu"  DEFAULT 'N' NOT NULL
);

-- Processing date of each branch (DataProc).
CREATE TABLE PROCFILIAL (
    CDFILIAL      VARCHAR(4) COLLATE "pt-BR-x-icu"  NOT NULL PRIMARY KEY,
    DTPROCESSO    DATE        NOT NULL
);

-- Module status of each branch (ModuFili): IDSITUACAO 'F' released to the
-- branch, 'M' released through its head office, 'R' refused (DSMENSAGEM).
CREATE TABLE MODUFILIAL (
    CDFILIAL      VARCHAR(4) COLLATE "pt-BR-x-icu"   NOT NULL,
    CDMODULO      VARCHAR(10) COLLATE "pt-BR-x-icu"  NOT NULL,
    IDSITUACAO    VARCHAR(1) COLLATE "pt-BR-x-icu"   NOT NULL,
    DSMENSAGEM    VARCHAR(200) COLLATE "pt-BR-x-icu",
    PRIMARY KEY (CDFILIAL, CDMODULO)
);

-- Code pictures (DBPict, DBPictObj): level widths as "2,2,4" and the edit mask.
CREATE TABLE PICTCODIGO (
    NRTIPOPICT    INTEGER     NOT NULL PRIMARY KEY,
    NMPICTURE     VARCHAR(40) COLLATE "pt-BR-x-icu" NOT NULL,
    DSNIVEIS      VARCHAR(40) COLLATE "pt-BR-x-icu" NOT NULL,
    DSMASCARA     VARCHAR(60) COLLATE "pt-BR-x-icu" NOT NULL
);

-- Cost types served by the costs server, listed in NRORDEM order.
CREATE TABLE TIPOCUSTO (
    NRTIPOCUSTO   INTEGER     NOT NULL PRIMARY KEY,
    NMTIPOCUSTO   VARCHAR(40) COLLATE "pt-BR-x-icu" NOT NULL,
    NRORDEM       INTEGER     NOT NULL
);

-- Named parameter sets shared by the users of a central (the personal ones
-- stay in each user's data folder): the choices as JSON text, who made the
-- set (only they may change it) and when it last changed (UTC, ISO text).
CREATE TABLE CONJPARAM (
    CDFILCENTXEV  VARCHAR(4) COLLATE "pt-BR-x-icu"  NOT NULL,
    CDTELA        VARCHAR(10) COLLATE "pt-BR-x-icu" NOT NULL,
    NMCONJUNTO    VARCHAR(60) COLLATE "pt-BR-x-icu" NOT NULL,
    DSCONJUNTO    TEXT NOT NULL,
    NMUSUARIO     VARCHAR(60) COLLATE "pt-BR-x-icu" NOT NULL,
    DTALTERACAO   VARCHAR(19)  NOT NULL,
    PRIMARY KEY (CDFILCENTXEV, CDTELA, NMCONJUNTO)
);

-- Realised cost per branch, service, product, cost type and day.
CREATE TABLE CUSTREAL (
    CDFILIAL      VARCHAR(4) COLLATE "pt-BR-x-icu"     NOT NULL,
    CDSERVFILI    VARCHAR(5) COLLATE "pt-BR-x-icu"     NOT NULL,
    CDARVPROD     VARCHAR(20) COLLATE "pt-BR-x-icu"    NOT NULL,
    NRTIPOCUSTO   INTEGER        NOT NULL,
    DTMOVIMENTO   DATE           NOT NULL,
    QTREAL        NUMERIC(15,3)  NOT NULL,
    VRCUSTREAL    NUMERIC(15,2)  NOT NULL
);
CREATE INDEX IX_CUSTREAL_FILIAL ON CUSTREAL (CDFILIAL, NRTIPOCUSTO, DTMOVIMENTO);

-- Look-up filters compare folded texts (FOLD: lower case, no accents, one
-- character for one, the rule of the shell's TextFold) through trigram
-- indexes (pg_trgm, a trusted extension: the database's owner may add it).
CREATE EXTENSION IF NOT EXISTS pg_trgm;

SET TERM ^ ;

-- PARAM(value): one row whose single column PARAM holds value, null included.
CREATE FUNCTION PARAM (VALOR TEXT, OUT PARAM TEXT)
RETURNS SETOF TEXT
LANGUAGE sql IMMUTABLE
AS $$ SELECT VALOR $$^

-- NVLSTR(a, b): b when a is null, else a.
CREATE FUNCTION NVLSTR (A TEXT, B TEXT)
RETURNS TEXT
LANGUAGE sql IMMUTABLE
AS $$ SELECT COALESCE(A, B) $$^

-- INSTR(text, part): position of part inside text, 0 when absent, null when
-- either is null.
CREATE FUNCTION INSTR (TEXTO TEXT, PARTE TEXT)
RETURNS INTEGER
LANGUAGE sql IMMUTABLE
AS $$ SELECT POSITION(PARTE IN TEXTO) $$^

-- DECIMAL_SUM(x): the exact sum, as SUM of NUMERIC is here; the statements
-- shared with SQLite call it there (where SUM of REAL adds doubles).
CREATE AGGREGATE DECIMAL_SUM (NUMERIC) (SFUNC = numeric_add, STYPE = NUMERIC)^

-- FOLD(text): letters up to U+024F lose their accents and are lower-cased
-- (the table below); any other character is lower-cased.
CREATE FUNCTION FOLD (TEXTO TEXT)
RETURNS TEXT
LANGUAGE sql IMMUTABLE PARALLEL SAFE
AS $$ SELECT LOWER(TRANSLATE(TEXTO,
    'ABCDEFGHIJKLMNOPQRSTUVWXYZµÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞàáâãäåçèéêëìíîïñòóôõöùúûüýÿĀāĂăĄąĆćĈĉĊċČčĎďĐĒēĔĕĖėĘęĚěĜĝĞğĠġĢģĤĥĦĨĩĪīĬĭĮįİĲĴĵĶķĹĺĻļĽľĿŁŃńŅņŇňŊŌōŎŏŐőŒŔŕŖŗŘřŚśŜŝŞşŠšŢţŤťŦŨũŪūŬŭŮůŰűŲųŴŵŶŷŸŹźŻżŽžſƁƂƄƆƇƉƊƋƎƏƐƑƓƔƖƗƘƜƝƟƠơƢƤƦƧƩƬƮƯưƱƲƳƵƷƸƼǄǅǇǈǊǋǍǎǏǐǑǒǓǔǕǖǗǘǙǚǛǜǞǟǠǡǢǣǤǦǧǨǩǪǫǬǭǮǯǰǱǲǴǵǶǷǸǹǺǻǼǽǾǿȀȁȂȃȄȅȆȇȈȉȊȋȌȍȎȏȐȑȒȓȔȕȖȗȘșȚțȜȞȟȠȢȤȦȧȨȩȪȫȬȭȮȯȰȱȲȳȺȻȽȾɁɃɄɅɆɈɊɌɎ',
    'abcdefghijklmnopqrstuvwxyzμaaaaaaæceeeeiiiiðnoooooøuuuuyþaaaaaaceeeeiiiinooooouuuuyyaaaaaaccccccccddđeeeeeeeeeegggggggghhħiiiiiiiiiĳjjkkllllllŀłnnnnnnŋooooooœrrrrrrssssssssttttŧuuuuuuuuuuuuwwyyyzzzzzzsɓƃƅɔƈɖɗƌǝəɛƒɠɣɩɨƙɯɲɵooƣƥʀƨʃƭʈuuʊʋƴƶʒƹƽǆǆǉǉǌǌaaiioouuuuuuuuuuaaaaææǥggkkooooʒʒjǳǳggƕƿnnaaææøøaaaaeeeeiiiioooorrrruuuussttȝhhƞȣȥaaeeooooooooyyⱥȼƚⱦɂƀʉʌɇɉɋɍɏ') COLLATE "und-x-icu") $$^

SET TERM ; ^

CREATE INDEX IX_PRODUTO_FOLD_NOME ON PRODUTO USING gin (FOLD(NMPRODUTO) gin_trgm_ops);
CREATE INDEX IX_PRODUTO_FOLD_CODIGO ON PRODUTO USING gin (FOLD(CDARVPROD) gin_trgm_ops);
CREATE INDEX IX_SERVICO_FOLD_NOME ON SERVICO USING gin (FOLD(NMSERVICO) gin_trgm_ops);
CREATE INDEX IX_SERVICO_FOLD_CODIGO ON SERVICO USING gin (FOLD(CDSERVFILI) gin_trgm_ops);
