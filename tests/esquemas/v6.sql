-- ICMS settlement ledger (Livro Registro de Apuração do ICMS) - SQLite schema.
--
-- Conventions (see docs/tabelas.md):
--   * ids are INTEGER PRIMARY KEY (rowid); foreign keys are plain INTEGER
--     columns, REFERENCES are declared for documentation only.
--   * dates are ISO text 'YYYY-MM-DD' in columns declared DATE; the dates that
--     place documents and settlement entries in a period are CHECKed to be
--     such a text of a day that exists: any other text compares outside every
--     period and the row would vanish from the tax.
--   * money and quantities are NUMERIC(18,4); the amounts the settlement adds
--     up (document items, settlement entries) must be stored as numbers: a
--     CHECK refuses text such as '1.234,56', which SQL sums would misread,
--     and item amounts of more than four decimals, which the sums of the
--     registers would round apart.
--   * codes (tax codes, payment codes, CFOPs, states, configuration kinds
--     and contents) are VARCHAR, i.e. TEXT affinity, so that a query that
--     writes IMPOSTO = 2001 without quotes still compares text with text.
--   * flags are INTEGER 0/1.
--
-- The script holds only CREATE TABLE / CREATE INDEX / INSERT statements and
-- runs in one go on an empty database.

------------------------------------------------------------------------------
-- Companies, establishments, municipalities, users
------------------------------------------------------------------------------

CREATE TABLE SC00_EMPRESA (
    IDEMPRESA        INTEGER PRIMARY KEY,
    EMPRESA          INTEGER NOT NULL,              -- company code shown to the user
    NOME             VARCHAR(120) NOT NULL,         -- corporate name
    NOMEFANTASIA     VARCHAR(120),
    CNPJ             VARCHAR(14)                    -- 14 digits, no punctuation
);

CREATE TABLE CA06_MUNICIPIO (
    IDMUNICIPIO      INTEGER PRIMARY KEY,
    NOME             VARCHAR(100) NOT NULL,
    UF               VARCHAR(2) NOT NULL,
    CODIGOIBGE       VARCHAR(7)
);

CREATE TABLE SC00_FILIAL (
    IDFILIAL         INTEGER PRIMARY KEY,
    IDEMPRESA        INTEGER NOT NULL REFERENCES SC00_EMPRESA (IDEMPRESA),
    FILIAL           INTEGER NOT NULL,              -- establishment code inside the company
    NOME             VARCHAR(120) NOT NULL,         -- corporate name printed in the book
    NOMEFANTASIA     VARCHAR(120),
    CNPJ             VARCHAR(14),                   -- 14 digits, no punctuation
    IESTADUAL        VARCHAR(20),                   -- state inscription as typed
    IMUNICIPAL       VARCHAR(20),
    ENDERECO         VARCHAR(120),                  -- street
    NUMERO           VARCHAR(10),
    COMPLEMENTO      VARCHAR(60),
    BAIRRO           VARCHAR(60),
    CEP              VARCHAR(8),                    -- 8 digits
    IDMUNICIPIO      INTEGER REFERENCES CA06_MUNICIPIO (IDMUNICIPIO),  -- the state comes from here
    TELEFONE1        VARCHAR(20),
    TELEFONE2        VARCHAR(20),
    FAX              VARCHAR(20),
    EHMATRIZ         INTEGER NOT NULL DEFAULT 0,    -- 1 = head office
    INICIOATIVIDADE  DATE                           -- start of activity
);

-- Typed configuration rows of an establishment (centralisation of the
-- small-business regimes, programme bands).
CREATE TABLE SC00_FILIALCFG (
    IDFILIALCFG      INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    ORIGEM           INTEGER NOT NULL,
    ESPECIE          INTEGER NOT NULL,
    TP               VARCHAR(5) NOT NULL,
    DATAINICIO       DATE NOT NULL,
    DATAFIM          DATE,                          -- NULL = open
    INFORMACAO1      VARCHAR(100),
    INFORMACAO2      VARCHAR(100),
    INFORMACAO3      VARCHAR(100)
);

CREATE TABLE CA06_USUARIO (
    IDUSUARIO        INTEGER PRIMARY KEY,
    NOME             VARCHAR(120) NOT NULL,
    NOMEFANTASIA     VARCHAR(120),                  -- office name printed in the footer
    TELEFONE1        VARCHAR(20)
);

------------------------------------------------------------------------------
-- Participants and CFOPs
------------------------------------------------------------------------------

CREATE TABLE ES02_CLIFOR (
    IDCLIFOR         INTEGER PRIMARY KEY,
    NOME             VARCHAR(120) NOT NULL,
    CNPJCPF          VARCHAR(14),
    IESTADUAL        VARCHAR(20),
    IDMUNICIPIO      INTEGER NOT NULL REFERENCES CA06_MUNICIPIO (IDMUNICIPIO)
);

-- Account of the chart of accounts; documents point at the participant
-- through it.
CREATE TABLE CO01_PLANO (
    IDPLANO          INTEGER PRIMARY KEY,
    IDEMPRESA        INTEGER REFERENCES SC00_EMPRESA (IDEMPRESA),
    CONTA            VARCHAR(30),
    DESCRICAO        VARCHAR(120),
    IDCLIFOR         INTEGER REFERENCES ES02_CLIFOR (IDCLIFOR)
);

-- A code is exactly '9.999' or '9.999.999' and appears once (unique index
-- below): the grouped register joins the family row '5.102.000' by prefix,
-- so a padded or repeated row would count the family once per row.
CREATE TABLE ES02_CFOP (
    IDCFOP           INTEGER PRIMARY KEY,
    CFOP             VARCHAR(9) NOT NULL            -- '5.102.000': CFOP, point, suffix
                     CHECK (CFOP GLOB '[0-9].[0-9][0-9][0-9]' OR CFOP GLOB '[0-9].[0-9][0-9][0-9].[0-9][0-9][0-9]'),
    DESCRICAO        VARCHAR(250)
);

-- Per-state CFOP formulas (TP 5 gross revenue, TP 6 revenue deduction).
CREATE TABLE ES02_CFOPCFGUF (
    IDCFOPCFGUF      INTEGER PRIMARY KEY,
    IDCFOP           INTEGER NOT NULL REFERENCES ES02_CFOP (IDCFOP),
    UF               VARCHAR(2) NOT NULL,
    TP               INTEGER NOT NULL,
    FORMULA          VARCHAR(500),
    INFORMACAO1      VARCHAR(100)                   -- deduction code for TP 6
);

------------------------------------------------------------------------------
-- Fiscal documents
------------------------------------------------------------------------------

CREATE TABLE ES02_ENTRADA (
    IDENTRADA        INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    IDPLANO          INTEGER REFERENCES CO01_PLANO (IDPLANO),   -- supplier
    DATAENTRADA      DATE NOT NULL
                     CHECK (DATAENTRADA GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]' AND date(DATAENTRADA, '+0 days') = DATAENTRADA),
    DATAEMISSAO      DATE
                     CHECK (DATAEMISSAO IS NULL OR DATAEMISSAO GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]' AND date(DATAEMISSAO, '+0 days') = DATAEMISSAO),
    NUMERO           INTEGER,
    MODELO           VARCHAR(2),
    SERIE            VARCHAR(3),
    SUBSERIE         VARCHAR(3),
    ESPECIE          VARCHAR(5),
    IDIMPORTACAO     INTEGER                        -- HS_IMPORTACAOEFD that loaded it; NULL = typed
);

CREATE TABLE ES02_ENTRADADET (
    IDENTRADADET     INTEGER PRIMARY KEY,
    IDENTRADA        INTEGER NOT NULL REFERENCES ES02_ENTRADA (IDENTRADA),
    IDCFOP           INTEGER NOT NULL REFERENCES ES02_CFOP (IDCFOP),
    ALIQICMS         NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(ALIQICMS) IN ('integer', 'real')),
    VLRCONTABIL      NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(VLRCONTABIL) IN ('integer', 'real') AND abs(VLRCONTABIL * 10000 - round(VLRCONTABIL * 10000)) <= max(1e-6, abs(VLRCONTABIL) * 1e-10)),
    BCICMS           NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(BCICMS) IN ('integer', 'real') AND abs(BCICMS * 10000 - round(BCICMS * 10000)) <= max(1e-6, abs(BCICMS) * 1e-10)),
    ICMS             NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(ICMS) IN ('integer', 'real') AND abs(ICMS * 10000 - round(ICMS * 10000)) <= max(1e-6, abs(ICMS) * 1e-10)),
    ISENTASICMS      NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(ISENTASICMS) IN ('integer', 'real') AND abs(ISENTASICMS * 10000 - round(ISENTASICMS * 10000)) <= max(1e-6, abs(ISENTASICMS) * 1e-10)),
    NTICMS           NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(NTICMS) IN ('integer', 'real') AND abs(NTICMS * 10000 - round(NTICMS * 10000)) <= max(1e-6, abs(NTICMS) * 1e-10)),
    OUTRASICMS       NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(OUTRASICMS) IN ('integer', 'real') AND abs(OUTRASICMS * 10000 - round(OUTRASICMS * 10000)) <= max(1e-6, abs(OUTRASICMS) * 1e-10)),
    BCICMSST         NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(BCICMSST) IN ('integer', 'real') AND abs(BCICMSST * 10000 - round(BCICMSST * 10000)) <= max(1e-6, abs(BCICMSST) * 1e-10)),
    ICMSST           NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(ICMSST) IN ('integer', 'real') AND abs(ICMSST * 10000 - round(ICMSST * 10000)) <= max(1e-6, abs(ICMSST) * 1e-10)),
    IPI              NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(IPI) IN ('integer', 'real')),
    VLRREDUCAOBCICMS NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(VLRREDUCAOBCICMS) IN ('integer', 'real')),
    DIFERIDO         NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(DIFERIDO) IN ('integer', 'real')),
    CREDITOST        INTEGER NOT NULL DEFAULT 0     -- 1 = item counts in the ICMS-ST credits
);

CREATE TABLE ES02_SAIDA (
    IDSAIDA          INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    IDPLANO          INTEGER REFERENCES CO01_PLANO (IDPLANO),   -- customer
    DATAEMISSAO      DATE NOT NULL
                     CHECK (DATAEMISSAO GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]' AND date(DATAEMISSAO, '+0 days') = DATAEMISSAO),
    NUMERO           INTEGER,
    MODELO           VARCHAR(2),
    SERIE            VARCHAR(3),
    SUBSERIE         VARCHAR(3),
    ESPECIE          VARCHAR(5),
    IDIMPORTACAO     INTEGER                        -- HS_IMPORTACAOEFD that loaded it; NULL = typed
);

CREATE TABLE ES02_SAIDADET (
    IDSAIDADET       INTEGER PRIMARY KEY,
    IDSAIDA          INTEGER NOT NULL REFERENCES ES02_SAIDA (IDSAIDA),
    IDCFOP           INTEGER NOT NULL REFERENCES ES02_CFOP (IDCFOP),
    ALIQICMS         NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(ALIQICMS) IN ('integer', 'real')),
    VLRCONTABIL      NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(VLRCONTABIL) IN ('integer', 'real') AND abs(VLRCONTABIL * 10000 - round(VLRCONTABIL * 10000)) <= max(1e-6, abs(VLRCONTABIL) * 1e-10)),
    BCICMS           NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(BCICMS) IN ('integer', 'real') AND abs(BCICMS * 10000 - round(BCICMS * 10000)) <= max(1e-6, abs(BCICMS) * 1e-10)),
    ICMS             NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(ICMS) IN ('integer', 'real') AND abs(ICMS * 10000 - round(ICMS * 10000)) <= max(1e-6, abs(ICMS) * 1e-10)),
    ISENTASICMS      NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(ISENTASICMS) IN ('integer', 'real') AND abs(ISENTASICMS * 10000 - round(ISENTASICMS * 10000)) <= max(1e-6, abs(ISENTASICMS) * 1e-10)),
    NTICMS           NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(NTICMS) IN ('integer', 'real') AND abs(NTICMS * 10000 - round(NTICMS * 10000)) <= max(1e-6, abs(NTICMS) * 1e-10)),
    OUTRASICMS       NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(OUTRASICMS) IN ('integer', 'real') AND abs(OUTRASICMS * 10000 - round(OUTRASICMS * 10000)) <= max(1e-6, abs(OUTRASICMS) * 1e-10)),
    BCICMSST         NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(BCICMSST) IN ('integer', 'real') AND abs(BCICMSST * 10000 - round(BCICMSST * 10000)) <= max(1e-6, abs(BCICMSST) * 1e-10)),
    ICMSST           NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(ICMSST) IN ('integer', 'real') AND abs(ICMSST * 10000 - round(ICMSST * 10000)) <= max(1e-6, abs(ICMSST) * 1e-10)),
    IPI              NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(IPI) IN ('integer', 'real')),
    VLRREDUCAOBCICMS NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(VLRREDUCAOBCICMS) IN ('integer', 'real')),
    DIFERIDO         NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(DIFERIDO) IN ('integer', 'real')),
    DEBITOST         INTEGER NOT NULL DEFAULT 0     -- 1 = item counts in the ICMS-ST debits
);

-- Auxiliary records of an exit document (TP 1: affiliated-company revenue,
-- INFORMACAO1 gross, INFORMACAO2 taxable, as text).
CREATE TABLE ES02_SAIDAAUX (
    IDSAIDAAUX       INTEGER PRIMARY KEY,
    IDSAIDA          INTEGER NOT NULL REFERENCES ES02_SAIDA (IDSAIDA),
    TP               INTEGER NOT NULL,
    INFORMACAO1      VARCHAR(100),
    INFORMACAO2      VARCHAR(100),
    INFORMACAO3      VARCHAR(100)
);

-- ICMS-ST information of an exit document; GNRE guides point at it.
CREATE TABLE ES02_SAIDASPINF (
    IDSAIDASPINF     INTEGER PRIMARY KEY,
    IDSAIDA          INTEGER NOT NULL REFERENCES ES02_SAIDA (IDSAIDA)
);

CREATE TABLE ES02_SERVICO (
    IDSERVICO        INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    IDPLANO          INTEGER REFERENCES CO01_PLANO (IDPLANO),
    DATAEMISSAO      DATE NOT NULL
                     CHECK (DATAEMISSAO GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]' AND date(DATAEMISSAO, '+0 days') = DATAEMISSAO),
    NUMERO           INTEGER
);

CREATE TABLE ES02_SERVICODET (
    IDSERVICODET     INTEGER PRIMARY KEY,
    IDSERVICO        INTEGER NOT NULL REFERENCES ES02_SERVICO (IDSERVICO),
    VLRCONTABIL      NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(VLRCONTABIL) IN ('integer', 'real'))
);

-- GNRE guides (interstate ICMS-ST payment slips).
CREATE TABLE ES02_GNRE (
    IDGNRE           INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    IMPOSTO          VARCHAR(10) NOT NULL,          -- ICMS-ST tax code of the state in favour
    CODIGOREC        VARCHAR(10),                   -- revenue code printed on the guide
    VENCIMENTO       DATE,
    VALORGNRE        NUMERIC(18,4) NOT NULL DEFAULT 0,
    NUMEROGNRE       VARCHAR(30),
    UFFAVOR          VARCHAR(2)
);

-- Documents paid by a GNRE guide.
CREATE TABLE ES02_GNRES (
    IDGNRES          INTEGER PRIMARY KEY,
    IDGNRE           INTEGER NOT NULL REFERENCES ES02_GNRE (IDGNRE),
    IDSAIDASPINF     INTEGER NOT NULL REFERENCES ES02_SAIDASPINF (IDSAIDASPINF)
);

------------------------------------------------------------------------------
-- Settlement entries, payment codes, configuration
------------------------------------------------------------------------------

-- Official entry codes of a state (GIA codes).
CREATE TABLE ES02_LCTOAPURCOD (
    IDLCTOAPURCOD    INTEGER PRIMARY KEY,
    UF               VARCHAR(2) NOT NULL,
    CODIGO           VARCHAR(10) NOT NULL,
    DESCRICAO        VARCHAR(200),
    TPIMPOSTO        INTEGER NOT NULL,              -- 1 regular ICMS, 3 ICMS-ST
    TPLANCAMENTO     INTEGER NOT NULL,              -- stored entry type it belongs to
    PADRAO           INTEGER NOT NULL DEFAULT 0     -- 1 = default code of UF/TPIMPOSTO/TPLANCAMENTO
);

-- Payment (revenue) codes.
CREATE TABLE ES02_CODIGOREC (
    IDCODIGOREC      INTEGER PRIMARY KEY,
    UF               VARCHAR(2) NOT NULL,
    CODIGO           VARCHAR(10) NOT NULL,
    CODIGO1          VARCHAR(20),                   -- sub-code / due-day rule 1
    CODIGO2          VARCHAR(20),                   -- due-day rules 2..5 ('15,0123')
    CODIGO3          VARCHAR(20),
    CODIGO4          VARCHAR(20),
    CODIGO5          VARCHAR(20),
    DESCRICAO        VARCHAR(200),
    TPDIAVENCTO      INTEGER NOT NULL DEFAULT 0,    -- kind of due-day rule (0..4, see docs)
    DIAVENCTO        VARCHAR(5)                     -- due day (or n-th business day), as text of digits
                     CHECK (DIAVENCTO NOT GLOB '*[^0-9]*' AND length(DIAVENCTO) <= 5)
);

-- Settlement entries.
CREATE TABLE ES02_LCTOAPUR (
    IDLCTOAPUR       INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    TPLANCAMENTO     INTEGER NOT NULL,              -- stored entry type (HS_TIPOLANCAMENTO)
    TPIMPOSTO        INTEGER NOT NULL DEFAULT 1,    -- 1 regular ICMS, 3 ICMS-ST
    IMPOSTO          VARCHAR(10) NOT NULL,          -- tax code: '2001', '4001'...
    IDLCTOAPURCOD    INTEGER DEFAULT 0,             -- ES02_LCTOAPURCOD, NULL or 0 = none
    IDCODIGOREC      INTEGER DEFAULT 0,             -- ES02_CODIGOREC, NULL or 0 = none
    VALOR            NUMERIC(18,4) NOT NULL DEFAULT 0 CHECK (typeof(VALOR) IN ('integer', 'real')),
    DATA             DATE NOT NULL
                     CHECK (DATA GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]' AND date(DATA, '+0 days') = DATA),
    DATAFIM          DATE                       -- second date of the entry
                     CHECK (DATAFIM IS NULL OR DATAFIM GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]' AND date(DATAFIM, '+0 days') = DATAFIM),
    DESCRICAO        VARCHAR(200),
    ORIGEM           INTEGER NOT NULL DEFAULT 0,    -- 0 typed / carried balance, 1 host calculation, 99 accounting value
    IDORIGEM         INTEGER DEFAULT 0,
    GERADO           INTEGER NOT NULL DEFAULT 0,    -- 1 = written by the settlement
    IDIMPORTACAO     INTEGER                        -- HS_IMPORTACAOEFD that loaded it; NULL = typed or settled
);

-- Auxiliary records of a settlement entry (TP 1 specific-debit data,
-- TP 14 digital-bookkeeping code, TP 15 grouping, TP 16 competence).
CREATE TABLE ES02_LCTOAPURAUX (
    IDLCTOAPURAUX    INTEGER PRIMARY KEY,
    IDLCTOAPUR       INTEGER NOT NULL REFERENCES ES02_LCTOAPUR (IDLCTOAPUR),
    TP               INTEGER NOT NULL,
    INFORMACAO1      VARCHAR(100),
    INFORMACAO2      VARCHAR(100),
    INFORMACAO3      VARCHAR(100)
);

-- Typed configuration of an establishment with validity.
CREATE TABLE ES02_CFG (
    IDCFG            INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    ORIGEM           INTEGER NOT NULL,
    TP               VARCHAR(5) NOT NULL,
    DATAINICIO       DATE NOT NULL,
    DATAFIM          DATE,                          -- NULL = open
    INFORMACAO1      VARCHAR(100),
    INFORMACAO2      VARCHAR(100),
    INFORMACAO3      VARCHAR(100),
    INFORMACAO4      VARCHAR(100),
    INFORMACAO5      VARCHAR(100)
);

-- Observations printed in the book.
CREATE TABLE ES02_LIVROOBS (
    IDLIVROOBS       INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    IMPOSTO          VARCHAR(10) NOT NULL,
    DATA             DATE NOT NULL,
    OBSERVACAO       TEXT
);

------------------------------------------------------------------------------
-- State return (GIA)
------------------------------------------------------------------------------

CREATE TABLE ES02_GIA (
    IDGIA            INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    ANO              INTEGER NOT NULL,
    MES              INTEGER NOT NULL,
    TIPO             INTEGER NOT NULL DEFAULT 0,    -- 0 = normal return
    DIAINICIO        INTEGER NOT NULL DEFAULT 0,    -- 0 = whole month
    DIAFIM           INTEGER NOT NULL DEFAULT 0
);

-- One row per (IDGIA, TPREGISTRO, CODIGO, NOMECAMPO), unique index below:
-- writing a row again replaces its content.
CREATE TABLE ES02_GIADET (
    IDGIADET         INTEGER PRIMARY KEY,
    IDGIA            INTEGER NOT NULL REFERENCES ES02_GIA (IDGIA),
    TPREGISTRO       VARCHAR(5) NOT NULL,
    CODIGO           VARCHAR(20) NOT NULL,
    NOMECAMPO        VARCHAR(30) NOT NULL DEFAULT '',
    CONTEUDO         VARCHAR(200)
);

------------------------------------------------------------------------------
-- Taxes
------------------------------------------------------------------------------

-- Tax codes (TIPOTABELA 9: taxes; codes above 2000 and not multiples of
-- 1000 are individual taxes).
CREATE TABLE TR04_IMPOSTOTIPO (
    IDIMPOSTOTIPO    INTEGER PRIMARY KEY,
    TIPOTABELA       INTEGER NOT NULL,
    CODIGO           VARCHAR(10) NOT NULL,
    DESCRICAO        VARCHAR(120)
);

-- Tax due recorded per period.
CREATE TABLE TR04_IMPOSTO (
    IDIMPOSTO        INTEGER PRIMARY KEY,
    IDEMPRESA        INTEGER NOT NULL REFERENCES SC00_EMPRESA (IDEMPRESA),
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    IMPOSTO          VARCHAR(10) NOT NULL,
    CODIGOREC        VARCHAR(10),                   -- payment code (ES02_CODIGOREC.CODIGO)
    INICIO           DATE NOT NULL,
    FIM              DATE NOT NULL,
    VENCIMENTO       DATE,
    VLRIMPOSTO       NUMERIC(18,4) NOT NULL DEFAULT 0,
    TP               INTEGER NOT NULL DEFAULT 1     -- 1 recorded by a settlement, 2 other (ignored by the agreement lookup)
);

CREATE TABLE TR04_IMPOSTODET (
    IDIMPOSTODET     INTEGER PRIMARY KEY,
    IDIMPOSTO        INTEGER NOT NULL REFERENCES TR04_IMPOSTO (IDIMPOSTO),
    NOMECAMPO        VARCHAR(30) NOT NULL,
    CONTEUDO         VARCHAR(200)
);

-- Rate tables (TIPOTABELA 1, by IMPOSTO) and classification bands
-- (TIPOTABELA 2, by IMPOSTOGERAL / IMPOSTOESPECIFICO).
CREATE TABLE TR04_TABELA (
    IDTABELA         INTEGER PRIMARY KEY,
    TIPOTABELA       INTEGER NOT NULL,
    IMPOSTO          VARCHAR(10),
    IMPOSTOGERAL     VARCHAR(10),
    IMPOSTOESPECIFICO VARCHAR(10),
    NOMEIMPOSTO      VARCHAR(120),
    INICIO           DATE NOT NULL,
    FIM              DATE,                          -- NULL = open
    VALOR1           NUMERIC(18,4),
    VALOR2           NUMERIC(18,4)
);

CREATE TABLE TR04_TABDETALHE (
    IDTABDETALHE     INTEGER PRIMARY KEY,
    IDTABELA         INTEGER NOT NULL REFERENCES TR04_TABELA (IDTABELA),
    FAIXAINICIAL     NUMERIC(18,4) NOT NULL DEFAULT 0,
    FAIXAFINAL       NUMERIC(18,4) NOT NULL DEFAULT 0,
    CLASSE           INTEGER NOT NULL DEFAULT 0,
    DEDUCAO          NUMERIC(18,4) NOT NULL DEFAULT 0,
    ALIQUOTA         NUMERIC(18,4) NOT NULL DEFAULT 0
);

------------------------------------------------------------------------------
-- Host tables (HS_): fiscal parameters and records kept by the host
------------------------------------------------------------------------------

CREATE TABLE HS_VERSAO (
    VERSAO           INTEGER NOT NULL
);

CREATE TABLE HS_CONFIG (
    CHAVE            VARCHAR(40) PRIMARY KEY,
    VALOR            VARCHAR(200)
);

-- ICMS periodicity by validity (1 daily .. 11 yearly, see docs).
CREATE TABLE HS_PERIODICIDADE (
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    DATAINICIO       DATE NOT NULL,
    DATAFIM          DATE,
    PERIODICIDADE    INTEGER NOT NULL
);

-- Classification: 0 micro, 1 small, 2 regular (no row = 2).
CREATE TABLE HS_ENQUADRAMENTO (
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    DATAINICIO       DATE NOT NULL,
    DATAFIM          DATE,
    ENQUADRAMENTO    INTEGER NOT NULL
);

-- SC regime: 0 small-business, 1 regular, 2 bars and restaurants,
-- 4 estimate (no row = 1).
CREATE TABLE HS_REGIMESC (
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    DATAINICIO       DATE NOT NULL,
    DATAFIM          DATE,
    REGIME           INTEGER NOT NULL
);

-- Centralised settlement: TIPO '1' alone, '2' centraliser, '3' centralised
-- (no row = alone).
CREATE TABLE HS_CENTRALIZACAO (
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    DATAINICIO       DATE NOT NULL,
    DATAFIM          DATE,
    CHAVE1           INTEGER NOT NULL DEFAULT 0,
    CHAVE2           INTEGER NOT NULL DEFAULT 0,
    CHAVE3           INTEGER NOT NULL DEFAULT 0,
    TIPO             VARCHAR(1) NOT NULL
);

-- ICMS-ST inscriptions in other states.
CREATE TABLE HS_INSCRICAOST (
    IDINSCRICAOST    INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    UF               VARCHAR(2) NOT NULL            -- a state of HS_CODIGOICMSST
                     CHECK (UF IN ('AC', 'AL', 'AM', 'AP', 'BA', 'CE', 'DF', 'ES', 'GO', 'MA', 'MG', 'MS', 'MT', 'PA',
                                   'PB', 'PE', 'PI', 'PR', 'RJ', 'RN', 'RO', 'RR', 'RS', 'SC', 'SE', 'SP', 'TO')),
    INSCREST         VARCHAR(20) NOT NULL DEFAULT '',  -- '' = no inscription (GNRE)
    PERIODICIDADE    INTEGER NOT NULL DEFAULT 0,       -- 0 = the ICMS one
    IDCODIGOREC      INTEGER NOT NULL DEFAULT 0,       -- 0 = none
    DATAINICIO       DATE NOT NULL,
    DATAFIM          DATE
);

-- ICMS-ST tax code of each state.
CREATE TABLE HS_CODIGOICMSST (
    UF               VARCHAR(2) PRIMARY KEY,
    IMPOSTO          VARCHAR(10) NOT NULL
);

-- Fiscal unit value of a state from a date.
CREATE TABLE HS_UPF (
    UF               VARCHAR(2) NOT NULL,
    DATAINICIO       DATE NOT NULL,
    VALOR            NUMERIC(18,4) NOT NULL
);

-- Digital bookkeeping profile.
CREATE TABLE HS_PERFILEFD (
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    DATAINICIO       DATE NOT NULL,
    DATAFIM          DATE,
    PERFIL           VARCHAR(1),
    REGISTROAUX      INTEGER NOT NULL DEFAULT 0
);

-- Typed configuration of an establishment by three keys, with validity; the
-- kinds in use are listed in docs/tabelas.md ((2, 7, 3): CRESCE-RN band).
CREATE TABLE HS_FILIALCFG (
    IDFILIALCFG      INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    CHAVE1           INTEGER NOT NULL,
    CHAVE2           INTEGER NOT NULL,
    CHAVE3           INTEGER NOT NULL,
    DATAINICIO       DATE NOT NULL,
    DATAFIM          DATE,                          -- NULL = open
    TEXTO            VARCHAR(100),                  -- the configured text
    INFORMACAO2      VARCHAR(100),
    INFORMACAO3      VARCHAR(100),
    INFORMACAO4      VARCHAR(100),
    INFORMACAO5      VARCHAR(100)
);

-- Detail codes of the digital bookkeeping (EFD) by state and validity
-- (TABELA 12: credit-balance detail codes).
CREATE TABLE HS_DETALHEEFD (
    IDDETALHEEFD     INTEGER PRIMARY KEY,
    TABELA           INTEGER NOT NULL,
    UF               VARCHAR(2) NOT NULL,
    CODIGO           VARCHAR(10) NOT NULL,
    DESCRICAO        VARCHAR(250),
    DATAINICIO       DATE NOT NULL,
    DATAFIM          DATE                           -- NULL = open
);

-- The ten settlement-entry kinds.
CREATE TABLE HS_TIPOLANCAMENTO (
    ORDINAL          INTEGER PRIMARY KEY,
    TPLANCAMENTO     INTEGER NOT NULL,
    CODOFICIAL       INTEGER NOT NULL,
    DESCRICAO        VARCHAR(100) NOT NULL,
    SINAL            INTEGER NOT NULL
);

-- CIAP assets (credit in 1/PARCELAS per month).
CREATE TABLE HS_CIAPBEM (
    IDBEM            INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    DESCRICAO        VARCHAR(200),
    DATAENTRADA      DATE NOT NULL,
    VALORICMS        NUMERIC(18,4) NOT NULL DEFAULT 0,
    PARCELAS         INTEGER NOT NULL DEFAULT 48,
    DATABAIXA        DATE
);

-- Presumed-credit configuration.
CREATE TABLE HS_CREDITOPRESUMIDO (
    ID               INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    TIPO             VARCHAR(20) NOT NULL,          -- TRANSPORTE, INSUMO_INDUSTRIA, INSUMO_TRANSPORTE
    DATAINICIO       DATE NOT NULL,
    DATAFIM          DATE,
    ALIQUOTA         NUMERIC(18,4) NOT NULL DEFAULT 0,  -- percent
    CFOPS            VARCHAR(200)                   -- '5.352,6.352'
);

-- Book numbering of definitive books.
CREATE TABLE HS_NUMERACAOLIVRO (
    ID               INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    IDCONFIGURACAO   INTEGER NOT NULL DEFAULT 0,
    MODULO           VARCHAR(5) NOT NULL,
    LIVRO            INTEGER NOT NULL,
    PAGINAINICIAL    INTEGER NOT NULL,
    PAGINAFINAL      INTEGER NOT NULL,
    DATA             DATE NOT NULL,
    GRAVADOEM        VARCHAR(25),                   -- 'dd/mm/yyyy hh:mm:ss'
    FRENTEVERSO      INTEGER                        -- 2 double-sided (PAGINA), 1 single (FOLHA), NULL not known
);

-- Print jobs.
CREATE TABLE HS_PAGINASIMPRESSAS (
    ID               INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL,
    MODULO           INTEGER NOT NULL,
    PAGINAS          INTEGER NOT NULL,
    DEFINITIVA       INTEGER NOT NULL,              -- 1 definitive, 2 not
    FRENTEVERSO      INTEGER NOT NULL,              -- 2 double-sided, 1 single
    IMPRESSORA       VARCHAR(100),
    CONFIGURACAO     VARCHAR(100),
    MODELO           INTEGER,
    DATAHORA         VARCHAR(25)                    -- 'dd/mm/yyyy hh:mm:ss'
);

-- Accounts of the accounting posting.
CREATE TABLE HS_CONTACONTABIL (
    ID               INTEGER PRIMARY KEY,
    IDEMPRESA        INTEGER,                       -- NULL = every company
    IMPOSTO          VARCHAR(10),                   -- NULL = every tax
    TPLANCAMENTO     INTEGER NOT NULL,
    CONTADEBITO      VARCHAR(30),
    CONTACREDITO     VARCHAR(30),
    HISTORICO        VARCHAR(200)
);

-- Journal entries produced by the accounting posting.
CREATE TABLE HS_LANCCONTABIL (
    ID               INTEGER PRIMARY KEY,
    IDEMPRESA        INTEGER NOT NULL,
    IDFILIAL         INTEGER NOT NULL,
    IMPOSTO          VARCHAR(10) NOT NULL,
    TPLANCAMENTO     INTEGER NOT NULL,
    DATA             DATE NOT NULL,
    INICIO           DATE,
    FIM              DATE,
    CONTADEBITO      VARCHAR(30),
    CONTACREDITO     VARCHAR(30),
    VALOR            NUMERIC(18,4) NOT NULL DEFAULT 0,
    HISTORICO        VARCHAR(200),
    IDLCTOAPUR       INTEGER
);

-- EFD ICMS/IPI files imported: one row per establishment and period. A new
-- import of the same establishment and period deletes what the earlier one
-- loaded (the rows carrying its IDIMPORTACAO) and takes its place.
CREATE TABLE HS_IMPORTACAOEFD (
    IDIMPORTACAO     INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    DATAINICIO       DATE NOT NULL,                 -- period of the file (record 0000)
    DATAFIM          DATE NOT NULL,
    ARQUIVO          VARCHAR(250),                  -- file name
    FINALIDADE       VARCHAR(1),                    -- COD_FIN: 0 original, 1 rectifying
    LINHAS           INTEGER NOT NULL DEFAULT 0,
    DOCUMENTOS       INTEGER NOT NULL DEFAULT 0,    -- documents loaded
    GRAVADOEM        VARCHAR(25),                   -- 'dd/mm/yyyy hh:mm:ss'
    DIGESTO          VARCHAR(16)                    -- of the file's lines: the same file again changes nothing
);

-- Settled periods whose data changed afterwards (an import replaced their documents),
-- one row per tax the settlement had recorded (TR04_IMPOSTO). Settling the tax of the
-- period again deletes the row; block E refuses a period that has one.
CREATE TABLE HS_PERIODOALTERADO (
    IDPERIODOALTERADO INTEGER PRIMARY KEY,
    IDFILIAL         INTEGER NOT NULL REFERENCES SC00_FILIAL (IDFILIAL),
    IMPOSTO          VARCHAR(10) NOT NULL,
    DATAINICIO       DATE NOT NULL,                 -- the period as TR04_IMPOSTO recorded it
    DATAFIM          DATE NOT NULL,
    MOTIVO           VARCHAR(250),                  -- what changed it
    GRAVADOEM        VARCHAR(25)
);

------------------------------------------------------------------------------
-- Indexes
------------------------------------------------------------------------------

CREATE INDEX IX_SC00_FILIAL_EMPRESA     ON SC00_FILIAL (IDEMPRESA, FILIAL);
CREATE INDEX IX_SC00_FILIAL_MUNICIPIO   ON SC00_FILIAL (IDMUNICIPIO);
CREATE INDEX IX_SC00_FILIALCFG          ON SC00_FILIALCFG (IDFILIAL, ORIGEM, ESPECIE, TP);
CREATE INDEX IX_CA06_MUNICIPIO_UF       ON CA06_MUNICIPIO (UF);
CREATE INDEX IX_CA06_MUNICIPIO_IBGE     ON CA06_MUNICIPIO (CODIGOIBGE);
CREATE INDEX IX_ES02_CLIFOR_CNPJCPF     ON ES02_CLIFOR (CNPJCPF);
CREATE INDEX IX_CO01_PLANO_CLIFOR       ON CO01_PLANO (IDCLIFOR);
CREATE UNIQUE INDEX IX_ES02_CFOP_CFOP   ON ES02_CFOP (CFOP);
CREATE INDEX IX_ES02_CFOPCFGUF          ON ES02_CFOPCFGUF (IDCFOP, UF, TP);
CREATE INDEX IX_ES02_ENTRADA_DATA       ON ES02_ENTRADA (IDFILIAL, DATAENTRADA);
CREATE INDEX IX_ES02_ENTRADADET         ON ES02_ENTRADADET (IDENTRADA);
CREATE INDEX IX_ES02_SAIDA_DATA         ON ES02_SAIDA (IDFILIAL, DATAEMISSAO);
CREATE INDEX IX_ES02_SAIDADET           ON ES02_SAIDADET (IDSAIDA);
CREATE INDEX IX_ES02_SAIDAAUX           ON ES02_SAIDAAUX (IDSAIDA, TP);
CREATE INDEX IX_ES02_SAIDASPINF         ON ES02_SAIDASPINF (IDSAIDA);
CREATE INDEX IX_ES02_SERVICO_DATA       ON ES02_SERVICO (IDFILIAL, DATAEMISSAO);
CREATE INDEX IX_ES02_SERVICODET         ON ES02_SERVICODET (IDSERVICO);
CREATE INDEX IX_ES02_GNRE_FILIAL        ON ES02_GNRE (IDFILIAL, IMPOSTO);
CREATE INDEX IX_ES02_GNRES_GNRE         ON ES02_GNRES (IDGNRE);
CREATE INDEX IX_ES02_GNRES_SPINF        ON ES02_GNRES (IDSAIDASPINF);
CREATE INDEX IX_ES02_LCTOAPURCOD        ON ES02_LCTOAPURCOD (UF, TPIMPOSTO, TPLANCAMENTO);
CREATE INDEX IX_ES02_CODIGOREC_CODIGO   ON ES02_CODIGOREC (CODIGO);
CREATE INDEX IX_ES02_CODIGOREC_UF       ON ES02_CODIGOREC (UF);
CREATE INDEX IX_ES02_LCTOAPUR           ON ES02_LCTOAPUR (IDFILIAL, IMPOSTO, DATA, TPLANCAMENTO);
CREATE INDEX IX_ES02_LCTOAPURAUX        ON ES02_LCTOAPURAUX (IDLCTOAPUR);
CREATE INDEX IX_ES02_CFG                ON ES02_CFG (IDFILIAL, ORIGEM, TP);
CREATE INDEX IX_ES02_LIVROOBS           ON ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA);
CREATE INDEX IX_ES02_GIA                ON ES02_GIA (IDFILIAL, ANO, MES);
CREATE UNIQUE INDEX IX_ES02_GIADET   ON ES02_GIADET (IDGIA, TPREGISTRO, CODIGO, NOMECAMPO);
CREATE INDEX IX_TR04_IMPOSTOTIPO        ON TR04_IMPOSTOTIPO (TIPOTABELA, CODIGO);
CREATE INDEX IX_TR04_IMPOSTO            ON TR04_IMPOSTO (IDFILIAL, IMPOSTO, INICIO);
CREATE INDEX IX_TR04_IMPOSTODET         ON TR04_IMPOSTODET (IDIMPOSTO);
CREATE INDEX IX_TR04_TABELA             ON TR04_TABELA (TIPOTABELA, IMPOSTO, INICIO);
CREATE INDEX IX_TR04_TABDETALHE         ON TR04_TABDETALHE (IDTABELA);
CREATE INDEX IX_HS_PERIODICIDADE        ON HS_PERIODICIDADE (IDFILIAL, DATAINICIO);
CREATE INDEX IX_HS_ENQUADRAMENTO        ON HS_ENQUADRAMENTO (IDFILIAL, DATAINICIO);
CREATE INDEX IX_HS_REGIMESC             ON HS_REGIMESC (IDFILIAL, DATAINICIO);
CREATE INDEX IX_HS_CENTRALIZACAO        ON HS_CENTRALIZACAO (IDFILIAL, DATAINICIO);
CREATE INDEX IX_HS_CENTRALIZACAO_CHAVES ON HS_CENTRALIZACAO (CHAVE1, CHAVE2, CHAVE3);
CREATE INDEX IX_HS_INSCRICAOST          ON HS_INSCRICAOST (IDFILIAL, DATAINICIO);
CREATE INDEX IX_HS_UPF                  ON HS_UPF (UF, DATAINICIO);
CREATE INDEX IX_HS_PERFILEFD            ON HS_PERFILEFD (IDFILIAL, DATAINICIO);
CREATE INDEX IX_HS_FILIALCFG            ON HS_FILIALCFG (IDFILIAL, CHAVE1, CHAVE2, CHAVE3, DATAINICIO);
CREATE INDEX IX_HS_DETALHEEFD           ON HS_DETALHEEFD (TABELA, UF, CODIGO, DATAINICIO);
CREATE INDEX IX_HS_CIAPBEM              ON HS_CIAPBEM (IDFILIAL, DATAENTRADA);
CREATE INDEX IX_HS_CREDITOPRESUMIDO     ON HS_CREDITOPRESUMIDO (IDFILIAL, TIPO, DATAINICIO);
CREATE INDEX IX_HS_NUMERACAOLIVRO       ON HS_NUMERACAOLIVRO (IDFILIAL, IDCONFIGURACAO, MODULO, DATA);
CREATE INDEX IX_HS_LANCCONTABIL         ON HS_LANCCONTABIL (IDEMPRESA, IDFILIAL, IMPOSTO, DATA);
CREATE INDEX IX_HS_LANCCONTABIL_LCTO    ON HS_LANCCONTABIL (IDLCTOAPUR);
CREATE INDEX IX_ES02_ENTRADA_IMPORTACAO ON ES02_ENTRADA (IDIMPORTACAO);
CREATE INDEX IX_ES02_SAIDA_IMPORTACAO   ON ES02_SAIDA (IDIMPORTACAO);
CREATE INDEX IX_ES02_LCTOAPUR_IMPORTACAO ON ES02_LCTOAPUR (IDIMPORTACAO);
CREATE INDEX IX_HS_IMPORTACAOEFD        ON HS_IMPORTACAOEFD (IDFILIAL, DATAINICIO);
CREATE INDEX IX_HS_PERIODOALTERADO      ON HS_PERIODOALTERADO (IDFILIAL, DATAINICIO);

------------------------------------------------------------------------------
-- Fixed content
------------------------------------------------------------------------------

INSERT INTO HS_CONFIG (CHAVE, VALOR) VALUES ('CFOP_MASCARA', '9.999.999');
INSERT INTO HS_CONFIG (CHAVE, VALOR) VALUES ('CFOP_SUFIXO', '3');
INSERT INTO HS_CONFIG (CHAVE, VALOR) VALUES ('FRENTE_VERSO', '1');
INSERT INTO HS_CONFIG (CHAVE, VALOR) VALUES ('RODAPE', '3');
INSERT INTO HS_CONFIG (CHAVE, VALOR) VALUES ('LIVRO_PAGINAS', '300');

INSERT INTO HS_TIPOLANCAMENTO (ORDINAL, TPLANCAMENTO, CODOFICIAL, DESCRICAO, SINAL) VALUES (0,  1,  6, 'OUTROS CRÉDITOS', 1);
INSERT INTO HS_TIPOLANCAMENTO (ORDINAL, TPLANCAMENTO, CODOFICIAL, DESCRICAO, SINAL) VALUES (1,  2,  7, 'ESTORNO DE DÉBITOS', 1);
INSERT INTO HS_TIPOLANCAMENTO (ORDINAL, TPLANCAMENTO, CODOFICIAL, DESCRICAO, SINAL) VALUES (2, 15,  2, 'OUTROS DÉBITOS', 1);
INSERT INTO HS_TIPOLANCAMENTO (ORDINAL, TPLANCAMENTO, CODOFICIAL, DESCRICAO, SINAL) VALUES (3,  4,  3, 'ESTORNO DE CRÉDITOS', 1);
INSERT INTO HS_TIPOLANCAMENTO (ORDINAL, TPLANCAMENTO, CODOFICIAL, DESCRICAO, SINAL) VALUES (4,  6,  8, 'CRÉDITOS NÃO APROVEITÁVEIS (INFORMATIVO)', 0);
INSERT INTO HS_TIPOLANCAMENTO (ORDINAL, TPLANCAMENTO, CODOFICIAL, DESCRICAO, SINAL) VALUES (5,  5,  9, 'SALDO CREDOR DO PERÍODO ANTERIOR', 1);
INSERT INTO HS_TIPOLANCAMENTO (ORDINAL, TPLANCAMENTO, CODOFICIAL, DESCRICAO, SINAL) VALUES (6, 13,  0, 'DÉBITOS ESPECÍFICOS', 0);
INSERT INTO HS_TIPOLANCAMENTO (ORDINAL, TPLANCAMENTO, CODOFICIAL, DESCRICAO, SINAL) VALUES (7, 14, 14, 'SALDO CREDOR A TRANSPORTAR (INFORMATIVO)', 0);
INSERT INTO HS_TIPOLANCAMENTO (ORDINAL, TPLANCAMENTO, CODOFICIAL, DESCRICAO, SINAL) VALUES (8,  8, 12, 'DEDUÇÕES', -1);
INSERT INTO HS_TIPOLANCAMENTO (ORDINAL, TPLANCAMENTO, CODOFICIAL, DESCRICAO, SINAL) VALUES (9, 10, 13, 'IMPOSTO A RECOLHER - OUTROS VALORES', 1);

INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('AC', '4001');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('AL', '4002');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('AM', '4003');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('AP', '4004');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('BA', '4005');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('CE', '4006');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('DF', '4007');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('ES', '4008');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('GO', '4009');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('MA', '4010');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('MG', '4011');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('MS', '4012');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('MT', '4013');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('PA', '4014');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('PB', '4015');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('PE', '4016');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('PI', '4017');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('PR', '4018');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('RJ', '4019');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('RN', '4020');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('RO', '4021');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('RR', '4022');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('RS', '4023');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('SC', '4024');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('SE', '4025');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('SP', '4026');
INSERT INTO HS_CODIGOICMSST (UF, IMPOSTO) VALUES ('TO', '4027');

-- Tax codes offered to the user (TIPOTABELA 9). Multiples of 1000 are
-- groups; 2001 is the regular ICMS, 4001..4027 the ICMS-ST of each state.
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (1, 9, '2000', 'ICMS');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (2, 9, '2001', 'ICMS');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (3, 9, '4000', 'ICMS SUBSTITUIÇÃO TRIBUTÁRIA');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (4, 9, '4001', 'ICMS-ST - AC - Acre');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (5, 9, '4002', 'ICMS-ST - AL - Alagoas');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (6, 9, '4003', 'ICMS-ST - AM - Amazonas');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (7, 9, '4004', 'ICMS-ST - AP - Amapá');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (8, 9, '4005', 'ICMS-ST - BA - Bahia');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (9, 9, '4006', 'ICMS-ST - CE - Ceará');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (10, 9, '4007', 'ICMS-ST - DF - Distrito Federal');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (11, 9, '4008', 'ICMS-ST - ES - Espírito Santo');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (12, 9, '4009', 'ICMS-ST - GO - Goiás');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (13, 9, '4010', 'ICMS-ST - MA - Maranhão');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (14, 9, '4011', 'ICMS-ST - MG - Minas Gerais');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (15, 9, '4012', 'ICMS-ST - MS - Mato Grosso do Sul');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (16, 9, '4013', 'ICMS-ST - MT - Mato Grosso');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (17, 9, '4014', 'ICMS-ST - PA - Pará');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (18, 9, '4015', 'ICMS-ST - PB - Paraíba');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (19, 9, '4016', 'ICMS-ST - PE - Pernambuco');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (20, 9, '4017', 'ICMS-ST - PI - Piauí');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (21, 9, '4018', 'ICMS-ST - PR - Paraná');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (22, 9, '4019', 'ICMS-ST - RJ - Rio de Janeiro');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (23, 9, '4020', 'ICMS-ST - RN - Rio Grande do Norte');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (24, 9, '4021', 'ICMS-ST - RO - Rondônia');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (25, 9, '4022', 'ICMS-ST - RR - Roraima');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (26, 9, '4023', 'ICMS-ST - RS - Rio Grande do Sul');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (27, 9, '4024', 'ICMS-ST - SC - Santa Catarina');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (28, 9, '4025', 'ICMS-ST - SE - Sergipe');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (29, 9, '4026', 'ICMS-ST - SP - São Paulo');
INSERT INTO TR04_IMPOSTOTIPO (IDIMPOSTOTIPO, TIPOTABELA, CODIGO, DESCRICAO) VALUES (30, 9, '4027', 'ICMS-ST - TO - Tocantins');

INSERT INTO HS_VERSAO (VERSAO) VALUES (6);
