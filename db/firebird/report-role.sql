-- The report user of a database: a user that may read the tables and views
-- the reports read and run the reading routines they call (PARAM,
-- ITENS_LISTA, NVLSTR, INSTR, FOLD), and nothing else. --create-database
-- runs this script when its user is SYSDBA; on an existing database SYSDBA
-- runs it once through the server (running it again gives a new password):
--
--     isql-fb -user SYSDBA -password ... HOST/PORT:PATH -i report-role.sql
--
-- The user is RELATORIO_ and twelve random letters, made on the server with a
-- random password; both are kept in the table ACESSO_RELATORIO, which the
-- user itself cannot read: whoever reads it already reads every table the
-- user does, so the shell reads it with the person's own login and opens the
-- reports' connections with it. A clerk other than the owner needs SELECT on
-- it (GRANT SELECT ON ACESSO_RELATORIO TO USER CLERK).
--
-- What the user cannot do: write a table (SELECT only), run any other
-- procedure (a procedure needs its own EXECUTE grant: one that writes, one
-- that moves a generator or runs EXECUTE STATEMENT in an autonomous
-- transaction stays out of reach), move a generator (GEN_ID needs USAGE).
-- On an embedded database (no server) the user is not made: names are not
-- checked there, only the grants.
SET TERM ^ ;

EXECUTE BLOCK AS
BEGIN
    IF (NOT EXISTS (SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'ACESSO_RELATORIO')) THEN
        EXECUTE STATEMENT 'CREATE TABLE ACESSO_RELATORIO (USUARIO VARCHAR(31) NOT NULL, SENHA VARCHAR(32) NOT NULL)';
END^

EXECUTE BLOCK AS
    DECLARE USUARIO VARCHAR(31);
    DECLARE SENHA VARCHAR(32);
    DECLARE NOME VARCHAR(63);
BEGIN
    SELECT FIRST 1 USUARIO FROM ACESSO_RELATORIO INTO :USUARIO;
    IF (USUARIO IS NULL) THEN
        USUARIO = 'RELATORIO_' || SUBSTRING(REPLACE(UUID_TO_CHAR(GEN_UUID()), '-', '') FROM 1 FOR 12);
    SENHA = REPLACE(UUID_TO_CHAR(GEN_UUID()), '-', '');
    IF (RDB$GET_CONTEXT('SYSTEM', 'NETWORK_PROTOCOL') IS NOT NULL) THEN
    BEGIN
        IF (EXISTS (SELECT 1 FROM SEC$USERS WHERE SEC$USER_NAME = :USUARIO)) THEN
            EXECUTE STATEMENT 'ALTER USER ' || USUARIO || ' PASSWORD ''' || SENHA || '''';
        ELSE
            EXECUTE STATEMENT 'CREATE USER ' || USUARIO || ' PASSWORD ''' || SENHA || '''';
    END
    FOR SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS
        WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$RELATION_NAME <> 'ACESSO_RELATORIO' INTO :NOME DO
        EXECUTE STATEMENT 'GRANT SELECT ON "' || NOME || '" TO USER ' || USUARIO;
    FOR SELECT TRIM(RDB$PROCEDURE_NAME) FROM RDB$PROCEDURES
        WHERE RDB$PROCEDURE_NAME IN ('PARAM', 'ITENS_LISTA') INTO :NOME DO
        EXECUTE STATEMENT 'GRANT EXECUTE ON PROCEDURE ' || NOME || ' TO USER ' || USUARIO;
    FOR SELECT TRIM(RDB$FUNCTION_NAME) FROM RDB$FUNCTIONS
        WHERE RDB$FUNCTION_NAME IN ('NVLSTR', 'INSTR', 'FOLD') INTO :NOME DO
        EXECUTE STATEMENT 'GRANT EXECUTE ON FUNCTION ' || NOME || ' TO USER ' || USUARIO;
    DELETE FROM ACESSO_RELATORIO;
    INSERT INTO ACESSO_RELATORIO (USUARIO, SENHA) VALUES (:USUARIO, :SENHA);
END^

SET TERM ; ^
