-- Text and regular expressions: REPLACE, INITCAP, LPAD, RPAD, INSTR, TRIM, LTRIM, RTRIM, REGEXP_*.
-- Run after oracle-functions.sql, whose helpers they use; they give the embedded engine's results
-- (src/platform/db/OracleText.cpp, OracleRegexp.cpp). Positions and lengths count characters; the
-- empty text is null.

-- A whole-number argument as the embedded side holds it: without its fraction, within ±2^40.
CREATE OR REPLACE FUNCTION tipdesk_ora.bounded(x numeric) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT greatest(-1099511627776, least(1099511627776, trunc(x)))::bigint
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.out_of_range_text(v bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT 'ORA-01428: argument ''' || v || ''' is out of range'
$$;

-- Case and letters by ICU's root rules, as the embedded side takes them from ICU: the server's ICU
-- collation where it has one (PostgreSQL built with ICU, as Debian's is), else ASCII only. The
-- functions that need it are written here with the collation's name in them.
DO $do$
DECLARE
    coll constant text := 'pg_catalog.' || quote_ident(
        CASE WHEN EXISTS (SELECT FROM pg_collation WHERE collname = 'und-x-icu' AND collprovider = 'i')
             THEN 'und-x-icu' ELSE 'C' END);
BEGIN
    -- A character's upper or lower case; one whose case is more than one character stays.
    EXECUTE format($f$
CREATE OR REPLACE FUNCTION tipdesk_ora.char_case(c text, up boolean) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $b$
SELECT CASE WHEN up THEN CASE WHEN length(upper(c COLLATE %1$s)) = 1 THEN upper(c COLLATE %1$s) ELSE c END
            ELSE CASE WHEN length(lower(c COLLATE %1$s)) = 1 THEN lower(c COLLATE %1$s) ELSE c END END
$b$$f$, coll);
    -- A letter or a decimal digit.
    EXECUTE format($f$
CREATE OR REPLACE FUNCTION tipdesk_ora.is_alnum(c text) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $b$
SELECT (c COLLATE %1$s) ~ '^[[:alnum:]]$'
$b$$f$, coll);
    -- PostgreSQL's regular expression functions under that collation, so that classes and case
    -- follow ICU's character properties whatever the collation of the text. STABLE: the engine
    -- may still refuse a pattern (too complex), and only a row that reaches it may fail.
    EXECUTE format($f$
CREATE OR REPLACE FUNCTION tipdesk_ora.rx_like(s text, pattern text, flags text) RETURNS boolean
LANGUAGE sql STABLE PARALLEL SAFE AS $b$
SELECT regexp_like(s COLLATE %1$s, pattern, flags)
$b$$f$, coll);
    EXECUTE format($f$
CREATE OR REPLACE FUNCTION tipdesk_ora.rx_replace(s text, pattern text, rep text, start integer, n integer,
                                                  flags text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $b$
SELECT regexp_replace(s COLLATE %1$s, pattern, rep, start, n, flags)
$b$$f$, coll);
    EXECUTE format($f$
CREATE OR REPLACE FUNCTION tipdesk_ora.rx_substr(s text, pattern text, start integer, n integer, flags text,
                                                 subexpr integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $b$
SELECT regexp_substr(s COLLATE %1$s, pattern, start, n, flags, subexpr)
$b$$f$, coll);
    EXECUTE format($f$
CREATE OR REPLACE FUNCTION tipdesk_ora.rx_instr(s text, pattern text, start integer, n integer, endoption integer,
                                                flags text, subexpr integer) RETURNS integer
LANGUAGE sql STABLE PARALLEL SAFE AS $b$
SELECT regexp_instr(s COLLATE %1$s, pattern, start, n, endoption, flags, subexpr)
$b$$f$, coll);
END
$do$;

-- ---------------------------------------------------------------------------------------------
-- REPLACE, INITCAP, LPAD, RPAD, INSTR, LTRIM, RTRIM, TRIM

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_replace(s text, search text, rep text DEFAULT NULL) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN s IS NULL OR s = '' THEN NULL
            WHEN search IS NULL OR search = '' THEN s
            ELSE NULLIF(replace(s, search, coalesce(rep, '')), '') END
$$;

-- A letter after a character that is no letter or decimal digit (or at the start) in upper case,
-- every other letter in lower case. ASCII text by the server's own INITCAP under the C collation,
-- which follows the same rule; Hangul syllables are letters without case.
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_initcap(s text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    out text := '';
    in_word boolean := false;
    ch text;
    a integer;
    alnum boolean;
BEGIN
    IF s IS NULL OR s = '' THEN
        RETURN NULL;
    END IF;
    IF s !~ '[^\u0001-\u007f]' THEN
        RETURN initcap(s COLLATE "C");
    END IF;
    FOREACH ch IN ARRAY regexp_split_to_array(s, '') LOOP
        a := ascii(ch);
        IF a < 128 THEN
            alnum := a BETWEEN 48 AND 57 OR a BETWEEN 65 AND 90 OR a BETWEEN 97 AND 122;
            IF in_word AND a BETWEEN 65 AND 90 THEN
                ch := chr(a + 32);
            ELSIF NOT in_word AND a BETWEEN 97 AND 122 THEN
                ch := chr(a - 32);
            END IF;
        ELSIF a BETWEEN 44032 AND 55203 THEN
            alnum := true;
        ELSE
            alnum := tipdesk_ora.is_alnum(ch);
            ch := tipdesk_ora.char_case(ch, NOT in_word);
        END IF;
        out := out || ch;
        in_word := alnum;
    END LOOP;
    RETURN out;
END
$$;

-- The East Asian wide and full-width characters that take two columns (Unicode 15 outside the
-- symbol and emoji blocks), as OracleText.cpp lists them.
CREATE OR REPLACE FUNCTION tipdesk_ora.wide_chars() RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT E'[\u1100-\u115F\u2E80-\u2E99\u2E9B-\u2EF3\u2F00-\u2FD5\u2FF0-\u2FFB\u3000-\u303E\u3041-\u3096'
       || E'\u3099-\u30FF\u3105-\u312F\u3131-\u318E\u3190-\u31E3\u31F0-\u321E\u3220-\u3247\u3250-\u4DBF'
       || E'\u4E00-\uA48C\uA490-\uA4C6\uA960-\uA97C\uAC00-\uD7A3\uF900-\uFAFF\uFE10-\uFE19\uFE30-\uFE52'
       || E'\uFE54-\uFE66\uFE68-\uFE6B\uFF01-\uFF60\uFFE0-\uFFE6\U00016FE0-\U00016FE4\U00016FF0-\U00016FF1'
       || E'\U00017000-\U000187F7\U00018800-\U00018CD5\U00018D00-\U00018D08\U0001AFF0-\U0001AFF3'
       || E'\U0001AFF5-\U0001AFFB\U0001AFFD-\U0001AFFE\U0001B000-\U0001B122\U0001B132\U0001B150-\U0001B152'
       || E'\U0001B155\U0001B164-\U0001B167\U0001B170-\U0001B2FB\U00020000-\U0002FFFD\U00030000-\U0003FFFD]'
$$;

-- LPAD and RPAD by display width: n columns (at most 4000, Oracle's VARCHAR2), a wide character
-- taking two. A cut through a wide character, of the text or of the padding, leaves a blank.
CREATE OR REPLACE FUNCTION tipdesk_ora.pad_text(s text, n numeric, fill text, at_left boolean) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    wide constant text := tipdesk_ora.wide_chars();
    columns integer;
    used integer := 0;
    kept integer := 0;
    cw integer;
    ch text;
    filler text := '';
    fills text[];
    i integer := 1;
BEGIN
    IF s IS NULL OR s = '' OR n IS NULL OR fill IS NULL OR fill = '' THEN
        RETURN NULL;
    END IF;
    columns := greatest(-4000, least(4000, trunc(n)));
    IF columns < 1 THEN
        RETURN NULL;
    END IF;
    IF s !~ wide AND fill !~ wide THEN
        RETURN CASE WHEN at_left THEN lpad(s, columns, fill) ELSE rpad(s, columns, fill) END;
    END IF;
    FOREACH ch IN ARRAY regexp_split_to_array(s, '') LOOP
        cw := CASE WHEN ch ~ wide THEN 2 ELSE 1 END;
        EXIT WHEN used + cw > columns;
        used := used + cw;
        kept := kept + 1;
    END LOOP;
    IF kept < length(s) THEN
        RETURN left(s, kept) || CASE WHEN used < columns THEN ' ' ELSE '' END;
    END IF;
    fills := regexp_split_to_array(fill, '');
    WHILE used < columns LOOP
        cw := CASE WHEN fills[i] ~ wide THEN 2 ELSE 1 END;
        IF used + cw > columns THEN
            filler := filler || ' ';
            EXIT;
        END IF;
        filler := filler || fills[i];
        used := used + cw;
        i := i % array_length(fills, 1) + 1;
    END LOOP;
    RETURN CASE WHEN at_left THEN filler || s ELSE s || filler END;
END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_lpad(s text, n numeric, fill text DEFAULT ' ') RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.pad_text(s, n, fill, true)
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_rpad(s text, n numeric, fill text DEFAULT ' ') RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.pad_text(s, n, fill, false)
$$;

-- INSTR: the occurrence-th sub from pos on, backwards from the end for a negative pos; 0 when
-- there is none or pos is 0. Occurrences may overlap; an occurrence below 1 is ORA-01428.
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_instr(s text, sub text, pos numeric DEFAULT 1,
                                                 occurrence numeric DEFAULT 1) RETURNS numeric
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
DECLARE
    o constant bigint := tipdesk_ora.bounded(occurrence);
    p constant bigint := tipdesk_ora.bounded(pos);
    n constant integer := length(s);
    m constant integer := length(sub);
    found bigint := 0;
    i bigint;
    at integer;
BEGIN
    IF s IS NULL OR s = '' OR sub IS NULL OR sub = '' OR pos IS NULL OR occurrence IS NULL THEN
        RETURN NULL;
    END IF;
    IF o < 1 THEN
        RAISE EXCEPTION '%', tipdesk_ora.out_of_range_text(o);
    END IF;
    IF p > 0 THEN
        i := p;
        WHILE i + m - 1 <= n LOOP
            at := strpos(substr(s, i::integer) COLLATE "C", sub);
            EXIT WHEN at = 0;
            i := i + at - 1;
            found := found + 1;
            IF found = o THEN
                RETURN i;
            END IF;
            i := i + 1;
        END LOOP;
    ELSIF p < 0 THEN
        i := least(n + p + 1, n - m + 1);
        WHILE i >= 1 LOOP
            IF substr(s, i::integer, m) COLLATE "C" = sub THEN
                found := found + 1;
                IF found = o THEN
                    RETURN i;
                END IF;
            END IF;
            i := i - 1;
        END LOOP;
    END IF;
    RETURN 0;
END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_ltrim(s text, set text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN set IS NULL OR set = '' THEN NULL ELSE NULLIF(ltrim(s, set), '') END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_rtrim(s text, set text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN set IS NULL OR set = '' THEN NULL ELSE NULLIF(rtrim(s, set), '') END
$$;

-- TRIM(mode c FROM s): c must be one character (ORA-30001, before the nulls).
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_trim(s text, c text, mode text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN c <> '' AND length(c) <> 1
                THEN tipdesk_ora.fail('ORA-30001: trim set should have only one character', NULL::text)
            WHEN s IS NULL OR s = '' OR c IS NULL OR c = '' THEN NULL
            WHEN upper(mode) = 'LEADING' THEN NULLIF(ltrim(s, c), '')
            WHEN upper(mode) = 'TRAILING' THEN NULLIF(rtrim(s, c), '')
            ELSE NULLIF(btrim(s, c), '') END
$$;

-- ---------------------------------------------------------------------------------------------
-- Regular expressions. An Oracle pattern is read by Oracle's grammar and written for PostgreSQL's
-- engine by re_compile, as OracleRegexp.cpp writes it for PCRE2 (the grammar is described there):
-- {pattern, flags} or, for a pattern or match parameter Oracle refuses, {!, the error}, which the
-- callers raise for each row that reaches them. IMMUTABLE, so a constant pattern is read once when
-- the statement is planned.

-- A literal character: ASCII letters and digits and any non-ASCII character as themselves, the
-- rest by its code.
CREATE OR REPLACE FUNCTION tipdesk_ora.re_char(c text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN ascii(c) >= 128 OR ascii(c) BETWEEN 48 AND 57 OR ascii(c) BETWEEN 65 AND 90
                 OR ascii(c) BETWEEN 97 AND 122 THEN c
            ELSE '\u' || lpad(to_hex(ascii(c)), 4, '0') END
$$;

-- A character inside a bracket expression, always by its code.
CREATE OR REPLACE FUNCTION tipdesk_ora.re_bracket_char(c text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN ascii(c) > 65535 THEN '\U' || lpad(to_hex(ascii(c)), 8, '0')
            ELSE '\u' || lpad(to_hex(ascii(c)), 4, '0') END
$$;

-- A character of a bracket expression at j, written as itself or as [=c=] or [.c.]: '=', the
-- character and the position after it; or '!' and the error.
CREATE OR REPLACE FUNCTION tipdesk_ora.re_bracket_element(p text[], j integer, n integer) RETURNS text[]
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    d text := p[j + 1];
    close_at integer := j + 2;
BEGIN
    IF NOT (p[j] = '[' AND j < n AND d IN ('=', '.')) THEN
        RETURN ARRAY['=', p[j], (j + 1)::text];
    END IF;
    WHILE close_at < n AND NOT (p[close_at] = d AND p[close_at + 1] = ']') LOOP
        close_at := close_at + 1;
    END LOOP;
    IF close_at >= n THEN
        RETURN ARRAY['!', 'ORA-12726: unmatched bracket in regular expression'];
    END IF;
    IF close_at - (j + 2) <> 1 THEN
        RETURN ARRAY['!', CASE WHEN d = '=' THEN 'ORA-12730: invalid equivalence class in regular expression'
                               ELSE 'ORA-12731: invalid collation class in regular expression' END];
    END IF;
    RETURN ARRAY['=', p[j + 2], (close_at + 2)::text];
END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.re_compile(pattern text, match text) RETURNS text[]
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    p text[];
    n integer;
    k integer := 1;
    j integer;
    c text;
    d text;
    caseless boolean := false;
    dotall boolean := false;
    multiline boolean := false;
    extended boolean := false;
    out text := '';
    atom_start integer := 0; -- where the last repeatable item begins in out, 0 for none
    atom_quantified boolean := false;
    open_at integer[] := '{}';
    open_number integer[] := '{}';
    closed integer[] := '{}';
    groups integer := 0;
    q text;
    qlen integer;
    lo bigint;
    hi bigint;
    has_comma boolean;
    element text[];
    digits integer;
    negate boolean;
    items text;
    complements text[];
    first boolean;
    close_at integer;
    name text;
    lo_c text;
    hi_c text;
    flags text;
BEGIN
    FOR i IN 1 .. coalesce(length(match), 0) LOOP
        CASE substr(match, i, 1)
        WHEN 'i' THEN caseless := true;
        WHEN 'c' THEN caseless := false;
        WHEN 'n' THEN dotall := true;
        WHEN 'm' THEN multiline := true;
        WHEN 'x' THEN extended := true;
        ELSE RETURN ARRAY['!', 'ORA-01760: illegal argument for function'];
        END CASE;
    END LOOP;
    IF octet_length(pattern) > 512 THEN
        RETURN ARRAY['!', 'ORA-12733: regular expression too long'];
    END IF;
    p := regexp_split_to_array(pattern, '');
    n := coalesce(array_length(p, 1), 0);
    WHILE k <= n LOOP
        c := p[k];
        q := NULL;
        IF extended AND c IN (' ', E'\t', E'\n', E'\u000b', E'\f', E'\r') THEN
            k := k + 1;
            CONTINUE;
        END IF;
        IF c = '\' THEN
            IF k = n THEN
                atom_start := length(out) + 1;
                atom_quantified := false;
                out := out || '\u005c';
                k := k + 1;
                CONTINUE;
            END IF;
            d := p[k + 1];
            k := k + 2;
            IF d IN ('d', 'D', 'w', 'W', 's', 'S') THEN
                atom_start := length(out) + 1;
                atom_quantified := false;
                out := out || '\' || d;
            ELSIF d IN ('A', 'Z') THEN
                out := out || '\' || d;
                atom_start := 0;
            ELSIF d BETWEEN '1' AND '9' THEN
                IF NOT (ascii(d) - 48 = ANY (closed)) THEN
                    RETURN ARRAY['!', 'ORA-12727: invalid back reference in regular expression'];
                END IF;
                atom_start := length(out) + 1;
                atom_quantified := false;
                out := out || '(?:\' || d || ')';
            ELSE
                atom_start := length(out) + 1;
                atom_quantified := false;
                out := out || tipdesk_ora.re_char(d);
            END IF;
            CONTINUE;
        END IF;
        IF c = '.' THEN
            atom_start := length(out) + 1;
            atom_quantified := false;
            out := out || CASE WHEN dotall THEN '.' ELSE '[^\u000a]' END;
            k := k + 1;
        ELSIF c = '(' THEN
            groups := groups + 1;
            open_at := open_at || (length(out) + 1);
            open_number := open_number || groups;
            out := out || '(';
            atom_start := 0;
            k := k + 1;
        ELSIF c = ')' THEN
            IF cardinality(open_at) = 0 THEN
                RETURN ARRAY['!', 'ORA-12725: unmatched parentheses in regular expression'];
            END IF;
            out := out || ')';
            atom_start := open_at[cardinality(open_at)];
            atom_quantified := false;
            closed := closed || open_number[cardinality(open_number)];
            open_at := open_at[1:cardinality(open_at) - 1];
            open_number := open_number[1:cardinality(open_number) - 1];
            k := k + 1;
        ELSIF c = '|' THEN
            out := out || '|';
            atom_start := 0;
            k := k + 1;
        ELSIF c IN ('^', '$') THEN
            out := out || c;
            atom_start := 0;
            k := k + 1;
        ELSIF c IN ('*', '+', '?') THEN
            q := c;
            qlen := 1;
        ELSIF c = '{' THEN
            -- {m}, {m,} or {m,n}; anything else makes '{' a literal.
            j := k + 1;
            lo := 0;
            hi := -1;
            has_comma := false;
            digits := 0;
            WHILE j <= n AND p[j] BETWEEN '0' AND '9' LOOP
                lo := least(lo * 10 + ascii(p[j]) - 48, 100000);
                j := j + 1;
                digits := digits + 1;
            END LOOP;
            IF digits > 0 AND j <= n AND p[j] = ',' THEN
                has_comma := true;
                j := j + 1;
                IF j <= n AND p[j] BETWEEN '0' AND '9' THEN
                    hi := 0;
                    WHILE j <= n AND p[j] BETWEEN '0' AND '9' LOOP
                        hi := least(hi * 10 + ascii(p[j]) - 48, 100000);
                        j := j + 1;
                    END LOOP;
                END IF;
            END IF;
            IF digits > 0 AND j <= n AND p[j] = '}' AND atom_start > 0 THEN
                IF lo > 255 OR hi > 255 OR (hi >= 0 AND lo > hi) THEN
                    RETURN ARRAY['!', 'ORA-12732: invalid interval value in regular expression'];
                END IF;
                q := CASE WHEN NOT has_comma THEN '{' || lo || '}'
                          WHEN hi < 0 THEN '{' || lo || ',}'
                          ELSE '{' || lo || ',' || hi || '}' END;
                qlen := j + 1 - k;
            ELSE
                atom_start := length(out) + 1;
                atom_quantified := false;
                out := out || tipdesk_ora.re_char('{');
                k := k + 1;
            END IF;
        ELSIF c = '[' THEN
            j := k + 1;
            negate := false;
            IF j <= n AND p[j] = '^' THEN
                negate := true;
                j := j + 1;
            END IF;
            items := '';
            first := true;
            LOOP
                IF j > n THEN
                    RETURN ARRAY['!', 'ORA-12726: unmatched bracket in regular expression'];
                END IF;
                IF p[j] = ']' AND NOT first THEN
                    j := j + 1;
                    EXIT;
                END IF;
                first := false;
                IF p[j] = '[' AND j < n AND p[j + 1] = ':' THEN
                    close_at := j + 2;
                    WHILE close_at < n AND NOT (p[close_at] = ':' AND p[close_at + 1] = ']') LOOP
                        close_at := close_at + 1;
                    END LOOP;
                    IF close_at >= n THEN
                        RETURN ARRAY['!', 'ORA-12726: unmatched bracket in regular expression'];
                    END IF;
                    name := array_to_string(p[j + 2:close_at - 1], '');
                    IF name IS NULL OR name NOT IN ('alpha', 'digit', 'alnum', 'upper', 'lower', 'space', 'punct',
                                                    'cntrl', 'print', 'graph', 'xdigit', 'blank') THEN
                        RETURN ARRAY['!', 'ORA-12729: invalid character class in regular expression'];
                    END IF;
                    j := close_at + 2;
                    IF j < n AND p[j] = '-' AND p[j + 1] <> ']' THEN
                        RETURN ARRAY['!', 'ORA-12728: invalid range in regular expression'];
                    END IF;
                    items := items || '[:' || name || ':]'
                             || CASE WHEN name = 'punct' THEN '\u0024\u002b\u003c\u003d\u003e\u005e\u0060\u007c\u007e'
                                     ELSE '' END;
                    CONTINUE;
                END IF;
                -- a character, [=c=] or [.c.]
                element := tipdesk_ora.re_bracket_element(p, j, n);
                IF element[1] = '!' THEN
                    RETURN element;
                END IF;
                lo_c := element[2];
                j := element[3]::integer;
                IF j < n AND p[j] = '-' AND p[j + 1] <> ']' THEN
                    j := j + 1;
                    IF p[j] = '[' AND j < n AND p[j + 1] = ':' THEN
                        RETURN ARRAY['!', 'ORA-12728: invalid range in regular expression'];
                    END IF;
                    element := tipdesk_ora.re_bracket_element(p, j, n);
                    IF element[1] = '!' THEN
                        RETURN element;
                    END IF;
                    hi_c := element[2];
                    j := element[3]::integer;
                    IF ascii(hi_c) < ascii(lo_c) THEN
                        RETURN ARRAY['!', 'ORA-12728: invalid range in regular expression'];
                    END IF;
                    items := items || tipdesk_ora.re_bracket_char(lo_c) || '-' || tipdesk_ora.re_bracket_char(hi_c);
                ELSE
                    items := items || tipdesk_ora.re_bracket_char(lo_c);
                END IF;
            END LOOP;
            k := j;
            atom_start := length(out) + 1;
            atom_quantified := false;
            out := out || '[' || CASE WHEN negate THEN '^' ELSE '' END || items || ']';
        ELSE
            atom_start := length(out) + 1;
            atom_quantified := false;
            out := out || tipdesk_ora.re_char(c);
            k := k + 1;
        END IF;
        IF q IS NOT NULL THEN
            IF atom_start = 0 THEN -- nothing to repeat: the character itself
                atom_start := length(out) + 1;
                atom_quantified := false;
                out := out || tipdesk_ora.re_char(c);
                k := k + 1;
                CONTINUE;
            END IF;
            IF atom_quantified THEN
                out := overlay(out PLACING '(?:' FROM atom_start FOR 0) || ')';
            END IF;
            out := out || q;
            k := k + qlen;
            IF k <= n AND p[k] = '?' THEN
                out := out || '?';
                k := k + 1;
            END IF;
            atom_quantified := true;
        END IF;
    END LOOP;
    IF cardinality(open_at) > 0 THEN
        RETURN ARRAY['!', 'ORA-12725: unmatched parentheses in regular expression'];
    END IF;
    flags := CASE WHEN caseless THEN 'i' ELSE '' END || CASE WHEN multiline THEN 'w' ELSE '' END;
    -- A pattern the grammar takes that the engine still refuses (too deep, too complex).
    BEGIN
        PERFORM tipdesk_ora.rx_like('', out, flags);
    EXCEPTION WHEN invalid_regular_expression OR program_limit_exceeded OR statement_too_complex THEN
        RETURN ARRAY['!', 'ORA-12733: regular expression too long'];
    END;
    RETURN ARRAY[out, flags];
END
$$;

-- Oracle's replacement text for PostgreSQL's: \1 … \9 stay, \\ is one backslash, any other
-- backslash is itself.
CREATE OR REPLACE FUNCTION tipdesk_ora.re_replacement(rep text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    out text := '';
    i integer := 1;
    n constant integer := coalesce(length(rep), 0);
    c text;
    d text;
BEGIN
    WHILE i <= n LOOP
        c := substr(rep, i, 1);
        d := substr(rep, i + 1, 1);
        IF c = '\' AND d BETWEEN '1' AND '9' THEN
            out := out || c || d;
            i := i + 2;
        ELSIF c = '\' AND d = '\' THEN
            out := out || '\\';
            i := i + 2;
        ELSIF c = '\' THEN
            out := out || '\\';
            i := i + 1;
        ELSE
            out := out || c;
            i := i + 1;
        END IF;
    END LOOP;
    RETURN out;
END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.re_like(s text, re text[]) RETURNS boolean
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN re[1] = '!' THEN tipdesk_ora.fail(re[2], NULL::boolean)
            ELSE tipdesk_ora.rx_like(s, re[1], re[2]) END
$$;

-- REGEXP_LIKE, a condition: null when the text or the pattern is null.
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_regexp_like(s text, pattern text, match text DEFAULT NULL) RETURNS boolean
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN s IS NULL OR s = '' OR pattern IS NULL OR pattern = '' THEN NULL
            ELSE tipdesk_ora.re_like(s, tipdesk_ora.re_compile(pattern, match)) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.re_replace(s text, re text[], rep text, pos bigint, occurrence bigint)
RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN re[1] = '!' THEN tipdesk_ora.fail(re[2], NULL::text)
            WHEN pos > length(s) + 1 THEN s
            ELSE NULLIF(tipdesk_ora.rx_replace(s, re[1], rep, pos::integer, least(occurrence, 2147483647)::integer,
                                               re[2]), '') END
$$;

-- REGEXP_REPLACE: a null pattern gives the text, a null replacement removes; occurrence 0
-- replaces every match.
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_regexp_replace(s text, pattern text, rep text DEFAULT NULL,
                                                          pos numeric DEFAULT 1, occurrence numeric DEFAULT 0,
                                                          match text DEFAULT NULL) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN s IS NULL OR s = '' OR pos IS NULL OR occurrence IS NULL THEN NULL
            WHEN pattern IS NULL OR pattern = '' THEN s
            WHEN tipdesk_ora.bounded(pos) < 1
                THEN tipdesk_ora.fail(tipdesk_ora.out_of_range_text(tipdesk_ora.bounded(pos)), NULL::text)
            WHEN tipdesk_ora.bounded(occurrence) < 0
                THEN tipdesk_ora.fail(tipdesk_ora.out_of_range_text(tipdesk_ora.bounded(occurrence)), NULL::text)
            ELSE tipdesk_ora.re_replace(s, tipdesk_ora.re_compile(pattern, match), tipdesk_ora.re_replacement(rep),
                                        tipdesk_ora.bounded(pos), tipdesk_ora.bounded(occurrence)) END
$$;

-- The checks REGEXP_SUBSTR and REGEXP_INSTR share, after their nulls: the error for the first
-- argument out of range, or null.
CREATE OR REPLACE FUNCTION tipdesk_ora.re_search_error(pos bigint, occurrence bigint, return_opt bigint,
                                                       subexpr bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN pos < 1 THEN tipdesk_ora.out_of_range_text(pos)
            WHEN occurrence < 1 THEN tipdesk_ora.out_of_range_text(occurrence)
            WHEN return_opt < 0 THEN tipdesk_ora.out_of_range_text(return_opt)
            WHEN subexpr < 0 OR subexpr > 9 THEN tipdesk_ora.out_of_range_text(subexpr) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.re_substr(s text, re text[], pos bigint, occurrence bigint, subexpr bigint)
RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN re[1] = '!' THEN tipdesk_ora.fail(re[2], NULL::text)
            WHEN pos > length(s) + 1 THEN NULL
            ELSE NULLIF(tipdesk_ora.rx_substr(s, re[1], pos::integer, least(occurrence, 2147483647)::integer, re[2],
                                              subexpr::integer), '') END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_regexp_substr(s text, pattern text, pos numeric DEFAULT 1,
                                                         occurrence numeric DEFAULT 1, match text DEFAULT NULL,
                                                         subexpr numeric DEFAULT 0) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN s IS NULL OR s = '' OR pattern IS NULL OR pattern = '' OR pos IS NULL OR occurrence IS NULL
                 OR subexpr IS NULL THEN NULL
            WHEN tipdesk_ora.re_search_error(tipdesk_ora.bounded(pos), tipdesk_ora.bounded(occurrence), 0,
                                             tipdesk_ora.bounded(subexpr)) IS NOT NULL
                THEN tipdesk_ora.fail(tipdesk_ora.re_search_error(tipdesk_ora.bounded(pos),
                                                                  tipdesk_ora.bounded(occurrence), 0,
                                                                  tipdesk_ora.bounded(subexpr)), NULL::text)
            ELSE tipdesk_ora.re_substr(s, tipdesk_ora.re_compile(pattern, match), tipdesk_ora.bounded(pos),
                                       tipdesk_ora.bounded(occurrence), tipdesk_ora.bounded(subexpr)) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.re_instr(s text, re text[], pos bigint, occurrence bigint, return_opt bigint,
                                                subexpr bigint) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN re[1] = '!' THEN tipdesk_ora.fail(re[2], NULL::numeric)
            WHEN pos > length(s) + 1 THEN 0
            ELSE tipdesk_ora.rx_instr(s, re[1], pos::integer, least(occurrence, 2147483647)::integer,
                                      CASE WHEN return_opt > 0 THEN 1 ELSE 0 END, re[2], subexpr::integer) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_regexp_instr(s text, pattern text, pos numeric DEFAULT 1,
                                                        occurrence numeric DEFAULT 1, return_opt numeric DEFAULT 0,
                                                        match text DEFAULT NULL, subexpr numeric DEFAULT 0)
RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN s IS NULL OR s = '' OR pattern IS NULL OR pattern = '' OR pos IS NULL OR occurrence IS NULL
                 OR return_opt IS NULL OR subexpr IS NULL THEN NULL
            WHEN tipdesk_ora.re_search_error(tipdesk_ora.bounded(pos), tipdesk_ora.bounded(occurrence),
                                             tipdesk_ora.bounded(return_opt), tipdesk_ora.bounded(subexpr)) IS NOT NULL
                THEN tipdesk_ora.fail(tipdesk_ora.re_search_error(tipdesk_ora.bounded(pos),
                                                                  tipdesk_ora.bounded(occurrence),
                                                                  tipdesk_ora.bounded(return_opt),
                                                                  tipdesk_ora.bounded(subexpr)), NULL::numeric)
            ELSE tipdesk_ora.re_instr(s, tipdesk_ora.re_compile(pattern, match), tipdesk_ora.bounded(pos),
                                      tipdesk_ora.bounded(occurrence), tipdesk_ora.bounded(return_opt),
                                      tipdesk_ora.bounded(subexpr)) END
$$;

