-- Number format models: TO_CHAR(number, format), TO_NUMBER(text, format).
-- Run after oracle-functions.sql, whose helpers they use; they give the embedded engine's results
-- (src/platform/db/OracleNumberFormat.cpp): 9 0 , G . D inside, FM B S $ L before, S MI L after;
-- L is the Korean territory's full-width won sign in a field of ten characters unless FM.

-- A model as {flags, sign, whole digits, decimal digits}, or null for no valid model. Flags: F (FM),
-- B, $, L, A (L after the digits), P (a decimal point); sign: '', 'S<', 'S>' or 'MI'.
CREATE OR REPLACE FUNCTION tipdesk_ora.number_model(format text) RETURNS text[]
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    f constant text := upper(format);
    n constant integer := length(f);
    i integer := 1;
    flags text := '';
    sign text := '';
    whole text := '';
    frac text := '';
    c text;
BEGIN
    LOOP
        EXIT WHEN i > n;
        IF substr(f, i, 2) = 'FM' THEN
            c := 'F';
            i := i + 2;
        ELSIF substr(f, i, 1) IN ('B', '$', 'L') THEN
            c := substr(f, i, 1);
            i := i + 1;
        ELSIF substr(f, i, 1) = 'S' AND sign = '' THEN
            sign := 'S<';
            i := i + 1;
            CONTINUE;
        ELSIF substr(f, i, 1) = 'S' THEN
            RETURN NULL;
        ELSE
            EXIT;
        END IF;
        IF strpos(flags, c) > 0 THEN
            RETURN NULL;
        END IF;
        flags := flags || c;
    END LOOP;
    WHILE i <= n LOOP
        c := substr(f, i, 1);
        IF c IN ('.', 'D') THEN
            IF strpos(flags, 'P') > 0 THEN
                RETURN NULL;
            END IF;
            flags := flags || 'P';
        ELSIF c IN (',', 'G') THEN
            IF strpos(flags, 'P') > 0 OR whole = '' THEN
                RETURN NULL;
            END IF;
            whole := whole || ',';
        ELSIF c IN ('9', '0') AND strpos(flags, 'P') > 0 THEN
            frac := frac || c;
        ELSIF c IN ('9', '0') THEN
            whole := whole || c;
        ELSE
            EXIT;
        END IF;
        i := i + 1;
    END LOOP;
    WHILE i <= n LOOP
        IF substr(f, i, 2) = 'MI' AND sign = '' THEN
            sign := 'MI';
            i := i + 2;
        ELSIF substr(f, i, 1) = 'S' AND sign = '' THEN
            sign := 'S>';
            i := i + 1;
        ELSIF substr(f, i, 1) = 'L' AND strpos(flags, 'L') = 0 THEN
            flags := flags || 'LA';
            i := i + 1;
        ELSE
            RETURN NULL;
        END IF;
    END LOOP;
    IF (whole || frac) !~ '[09]' THEN
        RETURN NULL;
    END IF;
    RETURN ARRAY[flags, sign, whole, frac];
END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.valid_number_model(format text) RETURNS text[]
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT coalesce(tipdesk_ora.number_model(format),
                tipdesk_ora.fail('ORA-01481: invalid number format model', NULL::text[]))
$$;

-- The digits before the point under the model's digits and commas: from the first significant digit, or from the
-- leftmost 0 of the model; a comma only between printed digits.
CREATE OR REPLACE FUNCTION tipdesk_ora.whole_text(m text[], whole text) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    blank constant boolean := strpos(m[1], 'B') > 0;
    z constant integer := strpos(m[3], '0');
    cnt integer := length(whole);
    digits text;
    printed integer := 0;
    k integer := length(m[3]);
    out text := '';
BEGIN
    IF z > 0 AND NOT blank THEN
        cnt := greatest(cnt, length(replace(substr(m[3], z), ',', '')));
    END IF;
    IF cnt = 0 AND m[4] = '' AND NOT blank THEN
        cnt := 1;
    END IF;
    digits := lpad(whole, cnt, '0');
    WHILE k >= 1 AND printed < cnt LOOP
        IF substr(m[3], k, 1) = ',' THEN
            out := ',' || out;
        ELSE
            out := substr(digits, cnt - printed, 1) || out;
            printed := printed + 1;
        END IF;
        k := k - 1;
    END LOOP;
    RETURN out;
END
$$;

-- TO_CHAR(x, format): the value's 15 significant digits (a whole number of 64 bits exactly) rounded
-- to the model's decimals; '#' across the width when the digits before the point do not fit; a blank or '-'
-- before it unless S or MI; FM drops the blanks and the zeros the model's trailing 9s allow.
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_to_char_num(x numeric, format text) RETURNS text
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
DECLARE
    m text[];
    digits text;
    whole text;
    frac text;
    width integer;
    zero boolean;
    neg boolean;
    keep integer;
    sym text;
    core text;
BEGIN
    IF x IS NULL OR format IS NULL THEN
        RETURN NULL;
    END IF;
    m := tipdesk_ora.valid_number_model(format);
    digits := round(abs(tipdesk_ora.ora_num(x)), length(m[4]))::text;
    whole := ltrim(split_part(digits, '.', 1), '0');
    frac := split_part(digits, '.', 2);
    width := 1 + length(m[3]) + length(m[4]) + (strpos(m[1], 'P') > 0)::integer + (strpos(m[1], '$') > 0)::integer
             + CASE WHEN strpos(m[1], 'L') > 0 THEN 10 ELSE 0 END;
    IF length(whole) > length(replace(m[3], ',', '')) THEN
        RETURN repeat('#', width);
    END IF;
    zero := whole = '' AND frac !~ '[1-9]';
    IF strpos(m[1], 'B') > 0 AND zero THEN
        RETURN CASE WHEN strpos(m[1], 'F') = 0 THEN repeat(' ', width) END;
    END IF;
    neg := x < 0 AND NOT zero;
    IF strpos(m[1], 'F') > 0 THEN
        keep := length(frac);
        WHILE keep > 0 AND substr(frac, keep, 1) = '0' AND substr(m[4], keep, 1) = '9' LOOP
            keep := keep - 1;
        END LOOP;
        frac := left(frac, keep);
    END IF;
    sym := CASE WHEN strpos(m[1], 'L') > 0 THEN E'\uFFE6' ELSE '' END;
    core := CASE WHEN strpos(m[1], '$') > 0 THEN '$' ELSE '' END
            || CASE WHEN strpos(m[1], 'A') = 0 THEN sym ELSE '' END
            || tipdesk_ora.whole_text(m, whole)
            || CASE WHEN strpos(m[1], 'P') > 0 THEN '.' || frac ELSE '' END
            || CASE WHEN strpos(m[1], 'A') > 0 THEN sym ELSE '' END;
    core := CASE m[2]
                WHEN '' THEN CASE WHEN neg THEN '-' ELSE '' END || core
                WHEN 'S<' THEN CASE WHEN neg THEN '-' ELSE '+' END || core
                WHEN 'S>' THEN core || CASE WHEN neg THEN '-' ELSE '+' END
                ELSE core || CASE WHEN neg THEN '-' ELSE ' ' END END;
    IF strpos(m[1], 'F') > 0 THEN
        RETURN nullif(btrim(core, ' '), '');
    END IF;
    RETURN lpad(core, width, ' ');
END
$$;

-- TO_NUMBER(t, format): the signs and symbols where the model has them (a currency symbol may be
-- left out), the digits before the point right-aligned under the model's (a digit under a digit, a comma under a
-- comma), at most the model's decimals; anything else is not a number.
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_to_number_fmt(t text, format text) RETURNS numeric
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
DECLARE
    s constant text := btrim(t, ' ');
    m text[];
    sym text;
    at integer := 1;
    neg boolean := false;
    whole text;
    frac text := '';
BEGIN
    IF s IS NULL OR s = '' OR format IS NULL THEN
        RETURN NULL;
    END IF;
    m := tipdesk_ora.valid_number_model(format);
    sym := CASE WHEN strpos(m[1], 'L') > 0 THEN E'\uFFE6' ELSE '' END;
    IF m[2] = 'S<' AND substr(s, 1, 1) NOT IN ('+', '-') THEN
        RAISE EXCEPTION '%', 'ORA-01722: invalid number';
    ELSIF m[2] IN ('S<', '') AND substr(s, 1, 1) = '-' OR m[2] = 'S<' THEN
        neg := substr(s, 1, 1) = '-';
        at := 2;
    END IF;
    IF strpos(m[1], '$') > 0 AND substr(s, at, 1) = '$' THEN
        at := at + 1;
    END IF;
    IF strpos(m[1], 'A') = 0 AND sym <> '' AND substr(s, at, 1) = sym THEN
        at := at + 1;
    END IF;
    whole := substring(substr(s, at) FROM '^[0-9,]*');
    at := at + length(whole);
    IF strpos(m[1], 'P') > 0 AND substr(s, at, 1) = '.' THEN
        frac := substring(substr(s, at + 1) FROM '^[0-9]*');
        at := at + 1 + length(frac);
    END IF;
    IF strpos(m[1], 'A') > 0 AND substr(s, at, 1) = sym THEN
        at := at + 1;
    END IF;
    IF m[2] = 'S>' AND substr(s, at, 1) IN ('+', '-') OR m[2] = 'MI' AND substr(s, at, 1) = '-' THEN
        neg := substr(s, at, 1) = '-';
        at := at + 1;
    ELSIF m[2] = 'S>' THEN
        RAISE EXCEPTION '%', 'ORA-01722: invalid number';
    END IF;
    IF at <> length(s) + 1 OR length(whole) > length(m[3]) OR length(frac) > length(m[4]) OR whole || frac = ''
       OR reverse(translate(whole, '0123456789', '9999999999'))
          <> left(reverse(translate(m[3], '0', '9')), length(whole)) THEN
        RAISE EXCEPTION '%', 'ORA-01722: invalid number';
    END IF;
    RETURN tipdesk_ora.ora_num((CASE WHEN neg THEN '-' ELSE '' END || coalesce(nullif(replace(whole, ',', ''), ''), '0')
                               || CASE WHEN frac <> '' THEN '.' || frac ELSE '' END)::numeric);
END
$$;
