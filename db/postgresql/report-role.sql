-- The report role of a database: a login that may read the tables and views
-- the reports read, and nothing else. --create-database runs this script
-- when its user is a superuser; on an existing database a superuser runs it
-- once (running it again gives the role a new password):
--
--     psql -d DATABASE -f report-role.sql
--
-- The role is DATABASE_relatorio. It logs in with a random password kept in
-- the table ACESSO_RELATORIO, which the role itself cannot read: whoever
-- reads it already reads every table the role does, so the shell reads it
-- with the person's own login and opens the reports' connections with it.
-- A clerks' role other than the owner needs SELECT on that table
-- (GRANT SELECT ON acesso_relatorio TO ROLE) for its reports to run there.
--
-- What the role cannot do: write (no right but SELECT, and every transaction
-- read only), become another role (it is a member of none, so SET ROLE and
-- set_config('role', ...) are refused), end or cancel other sessions
-- (pg_terminate_backend and pg_cancel_backend are taken from PUBLIC in this
-- database), connect elsewhere through dblink or postgres_fdw (their
-- functions taken from PUBLIC when installed), read the server's files
-- (pg_read_file, pg_ls_dir, lo_import need superuser or
-- pg_read_server_files, which it is not given).
CREATE TABLE IF NOT EXISTS ACESSO_RELATORIO (USUARIO VARCHAR(63) NOT NULL, SENHA VARCHAR(64) NOT NULL);

DO $$
DECLARE
    papel TEXT := current_database() || '_relatorio';
    senha TEXT := replace(gen_random_uuid()::text || gen_random_uuid()::text, '-', '');
    atributos TEXT := 'LOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE NOREPLICATION NOBYPASSRLS NOINHERIT';
    r RECORD;
BEGIN
    IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = papel) THEN
        EXECUTE format('ALTER ROLE %I %s PASSWORD %L', papel, atributos, senha);
    ELSE
        EXECUTE format('CREATE ROLE %I %s PASSWORD %L', papel, atributos, senha);
    END IF;
    FOR r IN SELECT g.rolname FROM pg_auth_members m JOIN pg_roles g ON g.oid = m.roleid
             JOIN pg_roles u ON u.oid = m.member WHERE u.rolname = papel LOOP
        EXECUTE format('REVOKE %I FROM %I', r.rolname, papel);
    END LOOP;
    EXECUTE format('ALTER ROLE %I SET default_transaction_read_only = on', papel);
    EXECUTE format('GRANT CONNECT ON DATABASE %I TO %I', current_database(), papel);
    EXECUTE format('GRANT USAGE ON SCHEMA public TO %I', papel);
    EXECUTE format('REVOKE ALL ON ALL TABLES IN SCHEMA public FROM %I', papel);
    EXECUTE format('REVOKE ALL ON ALL SEQUENCES IN SCHEMA public FROM %I', papel);
    EXECUTE format('GRANT SELECT ON ALL TABLES IN SCHEMA public TO %I', papel);
    EXECUTE format('REVOKE ALL ON ACESSO_RELATORIO FROM PUBLIC, %I', papel);
    REVOKE EXECUTE ON FUNCTION pg_terminate_backend(integer, bigint), pg_cancel_backend(integer) FROM PUBLIC;
    FOR r IN SELECT p.oid::regprocedure AS routine FROM pg_proc p
             JOIN pg_depend d ON d.classid = 'pg_proc'::regclass AND d.objid = p.oid AND d.deptype = 'e'
             JOIN pg_extension e ON e.oid = d.refobjid
             WHERE e.extname IN ('dblink', 'postgres_fdw', 'adminpack') LOOP
        EXECUTE format('REVOKE EXECUTE ON FUNCTION %s FROM PUBLIC', r.routine);
    END LOOP;
    DELETE FROM ACESSO_RELATORIO;
    INSERT INTO ACESSO_RELATORIO (USUARIO, SENHA) VALUES (papel, senha);
END
$$;
