-- Access by company on the office's PostgreSQL server: created with the schema by `db criar` on a
-- server (a SQLite file has one user and none of this).
--
-- Each accountant connects with a role of their own. HS_ACESSOEMPRESA names the companies each
-- role may see (IDEMPRESA NULL: every company); `livro-icms db papeis` creates the roles, grants
-- their privileges and writes these rows. Row-level security then hides from a role every row of
-- a company not granted to it, on every table that holds a company's or an establishment's data:
--   * tables with IDFILIAL: the establishment must be one the role sees in SC00_FILIAL;
--   * tables with IDEMPRESA (SC00_FILIAL itself among them): the company must be granted; a NULL
--     company (a row shared by all) is seen by all;
--   * detail tables without either: their header row must be one the role sees.
-- A role reads, changes and inserts only such rows (the same rule checks the rows it writes).
-- The owner of the tables (the office's administrator, who ran `db criar`) and superusers are
-- not subject to these rules.

CREATE TABLE HS_ACESSOEMPRESA (
    PAPEL            VARCHAR(63) NOT NULL,          -- the role's name (current_user)
    IDEMPRESA        INTEGER                        -- NULL = every company
);
CREATE UNIQUE INDEX IX_HS_ACESSOEMPRESA ON HS_ACESSOEMPRESA (PAPEL, IDEMPRESA);
ALTER TABLE HS_ACESSOEMPRESA ENABLE ROW LEVEL SECURITY;
CREATE POLICY LIVRO_ACESSO ON HS_ACESSOEMPRESA USING (PAPEL = current_user);

DO $$
DECLARE
  r record;
  regra text;
  detalhes text[] := ARRAY['es02_entradadet', 'identrada', 'es02_entrada',
                           'es02_saidadet', 'idsaida', 'es02_saida',
                           'es02_saidaaux', 'idsaida', 'es02_saida',
                           'es02_saidaspinf', 'idsaida', 'es02_saida',
                           'es02_servicodet', 'idservico', 'es02_servico',
                           'es02_gnres', 'idgnre', 'es02_gnre',
                           'es02_lctoapuraux', 'idlctoapur', 'es02_lctoapur',
                           'es02_giadet', 'idgia', 'es02_gia',
                           'tr04_impostodet', 'idimposto', 'tr04_imposto'];
  k int;
BEGIN
  FOR r IN SELECT c.table_name AS tabela,
                  bool_or(c.column_name = 'idfilial') AS filial,
                  bool_or(c.column_name = 'idempresa' AND c.is_nullable = 'YES') AS comum
             FROM information_schema.columns c
             JOIN information_schema.tables t ON (t.table_schema = c.table_schema AND t.table_name = c.table_name)
            WHERE c.table_schema = current_schema() AND t.table_type = 'BASE TABLE'
              AND c.column_name IN ('idfilial', 'idempresa') AND c.table_name <> 'hs_acessoempresa'
            GROUP BY c.table_name LOOP
    IF r.filial AND r.tabela <> 'sc00_filial' THEN
      regra := 'idfilial IN (SELECT f.idfilial FROM sc00_filial f)';
    ELSE
      regra := 'idempresa IN (SELECT a.idempresa FROM hs_acessoempresa a)'
            || ' OR EXISTS (SELECT 1 FROM hs_acessoempresa a WHERE a.idempresa IS NULL)';
      IF r.comum THEN regra := 'idempresa IS NULL OR ' || regra; END IF;
    END IF;
    EXECUTE format('ALTER TABLE %I ENABLE ROW LEVEL SECURITY', r.tabela);
    EXECUTE format('CREATE POLICY livro_acesso ON %I USING (%s)', r.tabela, regra);
  END LOOP;
  FOR k IN 0..(array_length(detalhes, 1) / 3 - 1) LOOP
    EXECUTE format('ALTER TABLE %I ENABLE ROW LEVEL SECURITY', detalhes[3 * k + 1]);
    EXECUTE format('CREATE POLICY livro_acesso ON %I USING (EXISTS (SELECT 1 FROM %I p WHERE p.%I = %I.%I))',
                   detalhes[3 * k + 1], detalhes[3 * k + 3], detalhes[3 * k + 2], detalhes[3 * k + 1], detalhes[3 * k + 2]);
  END LOOP;
END $$;

-- A role that may only read (the auditor) prints a book that is not definitive all the same: the
-- settlement run records what it settles and reads it back (a period's credit balance is the next
-- one's credit), so for such a role the tables the run writes are shadowed, for the run, by
-- temporary copies of the rows it sees. Temporary tables are the session's own and vanish with it;
-- nothing reaches the office's tables. `tabelas`: the names, in lower case.
CREATE OR REPLACE FUNCTION livro_gravar_na_sessao(tabelas text[]) RETURNS void LANGUAGE plpgsql AS $$
DECLARE
  t text;
  coluna text;
  esquema text := current_schema();
BEGIN
  FOREACH t IN ARRAY tabelas LOOP
    EXECUTE format('DROP TABLE IF EXISTS pg_temp.%I', t);
    EXECUTE format('CREATE TEMPORARY TABLE %I (LIKE %I.%I INCLUDING DEFAULTS INCLUDING IDENTITY INCLUDING INDEXES)',
                   t, esquema, t);
    EXECUTE format('INSERT INTO pg_temp.%I SELECT * FROM %I.%I', t, esquema, t);
    FOR coluna IN SELECT a.attname FROM pg_attribute a
                   WHERE a.attrelid = format('pg_temp.%I', t)::regclass AND a.attidentity <> '' LOOP
      EXECUTE format('SELECT setval(pg_get_serial_sequence(%L, %L), COALESCE((SELECT max(%I) FROM pg_temp.%I), 0) + 1, false)',
                     'pg_temp.' || t, coluna, coluna, t);
    END LOOP;
  END LOOP;
END $$;

CREATE OR REPLACE FUNCTION livro_fim_gravacao_na_sessao(tabelas text[]) RETURNS void LANGUAGE plpgsql AS $$
DECLARE
  t text;
BEGIN
  FOREACH t IN ARRAY tabelas LOOP
    EXECUTE format('DROP TABLE IF EXISTS pg_temp.%I', t);
  END LOOP;
END $$;
