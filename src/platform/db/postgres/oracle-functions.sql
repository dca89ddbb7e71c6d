-- The ora_* functions of the translated statements, for a PostgreSQL server. The families beyond
-- the core (library-*.sql) follow this script in the same transaction. They give the results
-- and the error texts of the embedded backend's functions (src/platform/db/OracleFunctions.cpp),
-- which are Oracle's. Run whole; running it again changes nothing. It creates and replaces only
-- objects of the schema tipdesk_ora.
--
-- Where the embedded side computes in doubles (division, rounding, number-to-text), these functions
-- compute in float8 the same way, so that both agree to the last digit; exact paths (integral
-- quotients, whole numbers) stay in numeric.
--
-- Volatility: a function that can raise an Oracle error on its data is STABLE and raises through
-- tipdesk_ora.fail, which is STABLE too: the planner folds immutable calls with constant arguments
-- even in a CASE arm that is never taken, and an error must come only from a row that reaches it.
-- Such LANGUAGE sql functions are still inlined. Mask parsing is IMMUTABLE, so a constant mask is
-- parsed once when the statement is planned; an unknown mask yields a marker that the caller turns
-- into the error for each row.

-- Sent as one statement string the script is one transaction: a second client running it at the
-- same time waits here instead of failing on a function being replaced, and the notice of a schema
-- already there stays out of the client's log.
SET LOCAL client_min_messages = warning;
SELECT pg_advisory_xact_lock(hashtext('tipdesk_ora'));

CREATE SCHEMA IF NOT EXISTS tipdesk_ora;

-- Raises message as the error text; returns the type of its second argument.
CREATE OR REPLACE FUNCTION tipdesk_ora.fail(message text, result_type anyelement) RETURNS anyelement
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
BEGIN
    RAISE EXCEPTION '%', message;
END
$$;

-- ---------------------------------------------------------------------------------------------
-- Numbers

-- A double brought to 15 significant digits: float8 to numeric prints with %.15g, as round15 does.
-- Float8 arithmetic on finite values fails rather than overflow, so v is finite where this is used
-- inline; the wide_* functions check the values that may not be.
CREATE OR REPLACE FUNCTION tipdesk_ora.real_num(v float8) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT v::numeric
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.finite_num(v float8) RETURNS numeric
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
BEGIN
    IF v IN ('Infinity'::float8, '-Infinity'::float8, 'NaN'::float8) THEN
        RAISE EXCEPTION '%', 'ORA-01426: numeric overflow';
    END IF;
    RETURN v::numeric;
END
$$;

-- A value that fits a 64-bit integer stays exact; any other goes through a double.
CREATE OR REPLACE FUNCTION tipdesk_ora.is_int(x numeric) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT x = trunc(x) AND x >= -9223372036854775808 AND x <= 9223372036854775807
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_num(x numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN x IS NULL THEN NULL
            WHEN tipdesk_ora.is_int(x) THEN trim_scale(x)
            WHEN abs(x) <= 1.7976931348623157e308 THEN tipdesk_ora.real_num(x::float8)
            ELSE tipdesk_ora.fail('ORA-01426: numeric overflow', NULL::numeric) END
$$;

-- a / b where the quotient may leave the range of a double: overflow is Oracle's error, underflow 0.
CREATE OR REPLACE FUNCTION tipdesk_ora.wide_div(a numeric, b numeric) RETURNS numeric
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
BEGIN
    RETURN tipdesk_ora.finite_num(a::float8 / b::float8);
EXCEPTION WHEN numeric_value_out_of_range THEN
    IF abs(a) >= abs(b) THEN
        RAISE EXCEPTION '%', 'ORA-01426: numeric overflow';
    END IF;
    RETURN 0;
END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_div(a numeric, b numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN a IS NULL OR b IS NULL THEN NULL
            WHEN b = 0 THEN tipdesk_ora.fail('ORA-01476: divisor is equal to zero', NULL::numeric)
            WHEN tipdesk_ora.is_int(a) AND tipdesk_ora.is_int(b) AND mod(a, b) = 0 THEN trim_scale(div(a, b))
            WHEN (a = 0 OR abs(a) BETWEEN 1e-150 AND 1e150) AND abs(b) BETWEEN 1e-150 AND 1e150
                THEN tipdesk_ora.real_num(a::float8 / b::float8)
            ELSE tipdesk_ora.wide_div(a, b) END
$$;

-- x rounded or cut at digits places the embedded way: scaled in doubles, the scaled value brought
-- to 15 digits before it is cut, so that 29/100*100 cuts to 29 and not 28.9.
CREATE OR REPLACE FUNCTION tipdesk_ora.scaled(x float8, p float8, half boolean) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.real_num(
    (CASE WHEN half THEN round((x * p)::numeric) ELSE trunc((x * p)::numeric) END)::float8 / p)
$$;

-- scaled() for a value whose scaling may leave the range of a double: overflow is Oracle's error,
-- underflow 0.
CREATE OR REPLACE FUNCTION tipdesk_ora.wide_scaled(x numeric, p float8, half boolean) RETURNS numeric
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
BEGIN
    RETURN tipdesk_ora.finite_num(tipdesk_ora.scaled(x::float8, p, half)::float8);
EXCEPTION WHEN numeric_value_out_of_range THEN
    IF abs(x) > 1 THEN
        RAISE EXCEPTION '%', 'ORA-01426: numeric overflow';
    END IF;
    RETURN 0;
END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.trunc_or_round(x numeric, digits numeric, half boolean) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN x IS NULL OR digits IS NULL THEN NULL
            WHEN tipdesk_ora.is_int(x) AND digits > -1 THEN trim_scale(x)
            WHEN x = 0 OR abs(x) BETWEEN 1e-250 AND 1e250
                THEN tipdesk_ora.scaled(x::float8, power(10::float8, greatest(-30, least(30, trunc(digits)))::float8), half)
            ELSE tipdesk_ora.wide_scaled(x, power(10::float8, greatest(-30, least(30, trunc(digits)))::float8), half) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_trunc(x numeric, digits numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.trunc_or_round(x, digits, false)
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_trunc(x numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.trunc_or_round(x, 0, false)
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_round(x numeric, digits numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.trunc_or_round(x, digits, true)
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_round(x numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.trunc_or_round(x, 0, true)
$$;

-- The exact value of a double, every binary digit of it in decimal.
CREATE OR REPLACE FUNCTION tipdesk_ora.exact(v float8) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    m float8 := abs(v);
    k integer := 0;
BEGIN
    WHILE m <> trunc(m) LOOP
        m := m * 2;
        k := k + 1;
    END LOOP;
    WHILE m >= 9007199254740992 LOOP
        m := m / 2;
        k := k - 1;
    END LOOP;
    IF k >= 0 THEN
        RETURN sign(v)::numeric * m::bigint * trim_scale(power(5::numeric, k)) * ('1e-' || k)::numeric;
    END IF;
    RETURN sign(v)::numeric * m::bigint * trim_scale(power(2::numeric, -k));
END
$$;

-- Fixed notation with decimals places of the exact value of the double nearest w, without
-- trailing zeros or a zero before the point, as the embedded side prints a number below 1e-4.
CREATE OR REPLACE FUNCTION tipdesk_ora.fixed_text(w numeric, decimals integer) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    t text := round(tipdesk_ora.exact(abs(w)::float8), decimals)::text;
BEGIN
    IF strpos(t, '.') > 0 THEN
        t := rtrim(rtrim(t, '0'), '.');
    END IF;
    IF left(t, 2) = '0.' THEN
        t := substr(t, 2);
    END IF;
    RETURN CASE WHEN w < 0 THEN '-' ELSE '' END || t;
END
$$;

-- Oracle's number-to-text of a double as the embedded side prints it: 15 significant digits, no
-- exponent, no trailing zeros, no zero before the point; from 1e15 up the 15 digits and zeros;
-- below 1e-4 fixed notation with 14 - exponent decimals, at most 60. (PL/pgSQL: the double is
-- brought to 15 digits once, where an inlined expression would repeat the conversion at every use.)
CREATE OR REPLACE FUNCTION tipdesk_ora.real_text(v float8) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    w constant numeric := v::numeric;
BEGIN
    IF abs(w) >= 1e-4 THEN
        IF w = trunc(w) THEN
            RETURN trim_scale(w)::text;
        ELSIF w < 0 THEN
            RETURN '-' || ltrim((-w)::text, '0');
        END IF;
        RETURN ltrim(w::text, '0');
    ELSIF w = 0 THEN
        RETURN '0';
    END IF;
    RETURN tipdesk_ora.fixed_text(w, greatest(0, least(60, 14 - floor(log(abs(w)::float8))))::integer);
END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_num_text(x numeric) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN x IS NULL THEN NULL
            WHEN tipdesk_ora.is_int(x) THEN trim_scale(x)::text
            WHEN abs(x) <= 1.7976931348623157e308 THEN tipdesk_ora.real_text(x::float8)
            ELSE tipdesk_ora.fail('ORA-01426: numeric overflow', NULL::text) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_num_text(x text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT NULLIF(x, '')
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_num_text(x timestamp without time zone) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT to_char(x, 'YYYY-MM-DD HH24:MI:SS')
$$;

-- Text to number as the embedded side reads it: blanks around it are ignored; a whole number that
-- fits 64 bits is exact, any other goes through a double; anything else is not a number.
CREATE OR REPLACE FUNCTION tipdesk_ora.blank_trimmed(x text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT btrim(x, E' \t\n\u000b\f\r\u0085\u00a0\u1680\u2000\u2001\u2002\u2003\u2004\u2005\u2006\u2007\u2008\u2009\u200a\u2028\u2029\u202f\u205f\u3000')
$$;

-- A decimal text too long or with too large an exponent for the quick path: its double, or not a number.
CREATE OR REPLACE FUNCTION tipdesk_ora.wide_number(t text) RETURNS numeric
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
BEGIN
    RETURN tipdesk_ora.finite_num(t::float8);
EXCEPTION WHEN numeric_value_out_of_range OR invalid_text_representation THEN
    RAISE EXCEPTION '%', 'ORA-01722: invalid number';
END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.text_number(t text) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN t ~ '^[+-]?[0-9]{1,18}$' THEN t::numeric
            WHEN t ~ '^[+-]?[0-9]+$' AND length(ltrim(t, '+-0')) <= 19
                 AND t::numeric BETWEEN -9223372036854775808 AND 9223372036854775807 THEN t::numeric
            WHEN t ~ '^[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][+-]?[0-9]{1,2})?$' AND length(t) <= 200
                THEN tipdesk_ora.real_num(t::float8)
            WHEN t ~ '^[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][+-]?[0-9]+)?$' THEN tipdesk_ora.wide_number(t)
            ELSE tipdesk_ora.fail('ORA-01722: invalid number', NULL::numeric) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_to_number(x text) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN x IS NULL OR x = '' THEN NULL ELSE tipdesk_ora.text_number(tipdesk_ora.blank_trimmed(x)) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_to_number(x numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.ora_num(x)
$$;

-- ---------------------------------------------------------------------------------------------
-- Text

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_concat(a text, b text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT NULLIF(coalesce(a, '') || coalesce(b, ''), '')
$$;

-- SUBSTR from a start already counted from 1 (start past either end: null).
CREATE OR REPLACE FUNCTION tipdesk_ora.substr_from(s text, start numeric, len numeric) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN start < 1 OR start > length(s) OR least(length(s) - start + 1, len) < 1 THEN NULL
            ELSE substr(s, start::integer, least(length(s) - start + 1, len)::integer) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_substr(s text, pos numeric, len numeric) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN s = '' OR len IS NULL THEN NULL
            ELSE tipdesk_ora.substr_from(s, CASE WHEN trunc(pos) = 0 THEN 1
                                                 WHEN trunc(pos) < 0 THEN length(s) + trunc(pos) + 1
                                                 ELSE trunc(pos) END, trunc(len)) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_substr(s text, pos numeric) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.ora_substr(s, pos, length(s))
$$;

-- ---------------------------------------------------------------------------------------------
-- Dates

-- A character that counts as a letter or a digit in a mask or a date text (ASCII, Latin-1 and the
-- Latin, Greek and Cyrillic letters, Hangul, kana, CJK ideographs, full-width letters and digits).
CREATE OR REPLACE FUNCTION tipdesk_ora.is_word_char(c text) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT c ~ E'^[0-9A-Za-z\u00aa\u00b2\u00b3\u00b5\u00b9\u00ba\u00bc-\u00be\u00c0-\u00d6\u00d8-\u00f6\u00f8-\u02af\u0386\u0388-\u03ff\u0400-\u0481\u048a-\u052f\u1100-\u11ff\u3041-\u3096\u30a1-\u30fa\u3131-\u318e\u3400-\u4dbf\u4e00-\u9fff\uac00-\ud7a3\uf900-\ufaff\uff10-\uff19\uff21-\uff3a\uff41-\uff5a\uff66-\uffdc]$'
$$;

-- The elements of a date mask: element names, literals as '"' followed by their text; {!} for a
-- mask with an element no date has.
CREATE OR REPLACE FUNCTION tipdesk_ora.mask_elements(mask text) RETURNS text[]
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    names constant text[] := ARRAY['HH24', 'HH12', 'YYYY', 'RRRR', 'MONTH', 'MON', 'DAY', 'DDD', 'HH', 'YY',
                                   'RR', 'MM', 'DD', 'DY', 'MI', 'SS', 'AM', 'PM', 'FM', 'D'];
    kinds constant text[] := ARRAY['HH24', 'HH12', 'YYYY', 'YYYY', 'MON', 'MON', 'DAY', 'DDD', 'HH12', 'YY',
                                   'YY', 'MM', 'DD', 'DY', 'MI', 'SS', 'AM', 'AM', 'FM', 'D'];
    up constant text := upper(mask COLLATE "C");
    n constant integer := length(mask);
    out text[] := '{}';
    i integer := 1;
    c text;
    e integer;
    found boolean;
BEGIN
    WHILE i <= n LOOP
        c := substr(up, i, 1);
        IF c = '"' THEN
            e := strpos(substr(mask, i + 1), '"');
            IF e = 0 THEN
                RETURN '{!}';
            END IF;
            out := out || ('"' || substr(mask, i + 1, e - 1));
            i := i + e + 1;
        ELSIF NOT tipdesk_ora.is_word_char(c) THEN
            out := out || ('"' || c);
            i := i + 1;
        ELSE
            found := false;
            FOR k IN 1 .. array_length(names, 1) LOOP
                IF substr(up, i, length(names[k])) = names[k] THEN
                    out := out || kinds[k];
                    i := i + length(names[k]);
                    found := true;
                    EXIT;
                END IF;
            END LOOP;
            IF NOT found THEN
                RETURN '{!}';
            END IF;
        END IF;
    END LOOP;
    RETURN out;
END
$$;

-- The to_char pattern of a date mask, '!' for a mask with an element no date has. Every literal is
-- quoted and every element closed by "", so that neighbours never read as another element (SS SS
-- is not SSSS). Day names and the meridian are private-use marks that the caller replaces.
CREATE OR REPLACE FUNCTION tipdesk_ora.date_pattern(mask text) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
SELECT CASE WHEN els = '{!}' THEN '!'
            ELSE (SELECT coalesce(string_agg(
                      CASE WHEN left(e, 1) = '"'
                           THEN '"' || replace(replace(substr(e, 2), E'\\', E'\\\\'), '"', E'\\"') || '"'
                           ELSE CASE e WHEN 'MON' THEN 'FMMM"월"'
                                       WHEN 'DAY' THEN E'"\uE000"'
                                       WHEN 'DY' THEN E'"\uE001"'
                                       WHEN 'AM' THEN E'"\uE002"'
                                       WHEN 'FM' THEN ''
                                       ELSE e END || '""' END, '' ORDER BY ord), '')
                  FROM unnest(els) WITH ORDINALITY AS u(e, ord)) END
FROM tipdesk_ora.mask_elements(mask) AS m(els)
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.day_name(d timestamp without time zone) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT (ARRAY['일요일', '월요일', '화요일', '수요일', '목요일', '금요일', '토요일'])[extract(dow FROM d)::integer + 1]
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.named_parts(s text, d timestamp without time zone) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT replace(replace(replace(s, E'\uE000', tipdesk_ora.day_name(d)), E'\uE001', left(tipdesk_ora.day_name(d), 1)),
               E'\uE002', CASE WHEN extract(hour FROM d) < 12 THEN '오전' ELSE '오후' END)
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.format_date(d timestamp without time zone, pattern text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN d IS NULL OR pattern IS NULL THEN NULL
            WHEN pattern = '!' THEN tipdesk_ora.fail('ORA-01821: date format not recognized', NULL::text)
            WHEN pattern ~ E'[\uE000-\uE002]' THEN NULLIF(tipdesk_ora.named_parts(to_char(d, pattern), d), '')
            ELSE NULLIF(to_char(d, pattern), '') END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_to_char_date(d timestamp without time zone, mask text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.format_date(d, tipdesk_ora.date_pattern(mask))
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.days_in_month(y integer, m integer) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT extract(day FROM make_date(y, m, 1) + interval '1 month' - interval '1 day')::integer
$$;

-- A date in the embedded file's text form: "YYYY-MM-DD", "YYYY-MM-DD HH:MM" or "YYYY-MM-DD HH:MM:SS"
-- ('T' accepted as the separator, anything after the seconds ignored).
CREATE OR REPLACE FUNCTION tipdesk_ora.iso_date(t text) RETURNS timestamp without time zone
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
DECLARE
    y integer;
    m integer;
    d integer;
    hh integer := 0;
    mi integer := 0;
    ss integer := 0;
BEGIN
    IF t IS NULL OR t = '' THEN
        RETURN NULL;
    END IF;
    IF t !~ '^[0-9]{4}-[0-9]{2}-[0-9]{2}([ T][0-9]{2}:[0-9]{2}(:[0-9]{2}.*)?)?$' THEN
        RAISE EXCEPTION '%', 'ORA-01861: literal does not match format string';
    END IF;
    y := substr(t, 1, 4)::integer;
    m := substr(t, 6, 2)::integer;
    d := substr(t, 9, 2)::integer;
    IF length(t) > 10 THEN
        hh := substr(t, 12, 2)::integer;
        mi := substr(t, 15, 2)::integer;
        IF length(t) > 16 THEN
            ss := substr(t, 18, 2)::integer;
        END IF;
    END IF;
    IF y < 1 OR m < 1 OR m > 12 OR d < 1 OR d > tipdesk_ora.days_in_month(y, m) OR hh > 23 OR mi > 59 OR ss > 59 THEN
        RAISE EXCEPTION '%', 'ORA-01861: literal does not match format string';
    END IF;
    RETURN make_timestamp(y, m, d, hh, mi, ss);
END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_to_char_date(d text, mask text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.format_date(tipdesk_ora.iso_date(d), tipdesk_ora.date_pattern(mask))
$$;

-- TO_DATE: the text read by the mask's elements, leniently as Oracle reads it. A number element
-- takes up to its width of digits after any punctuation and blanks. Punctuation of the mask
-- matches one punctuation character or blank of the text, or nothing when the text goes on with a
-- letter or digit; a quoted letter or digit must be there. The text may end where only time
-- elements are left (they are 0). Year and month the mask leaves out are the clock's, the day 1.
CREATE OR REPLACE FUNCTION tipdesk_ora.parse_date(t text, els text[], now timestamp without time zone)
RETURNS timestamp without time zone
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
DECLARE
    n constant integer := length(t);
    y integer := extract(year FROM now);
    mo integer := extract(month FROM now);
    d integer := 1;
    hh integer := 0;
    mi integer := 0;
    ss integer := 0;
    pm boolean := false;
    hour12 boolean := false;
    i integer := 1;
    e text;
    m text;
    c text;
    v integer;
    digits integer;
    width integer;
    word text;
BEGIN
    IF els = '{!}' OR els && ARRAY['DDD', 'MON', 'DAY', 'DY'] THEN
        RAISE EXCEPTION '%', 'ORA-01821: date format not recognized';
    END IF;
    FOR at IN 1 .. coalesce(array_length(els, 1), 0) LOOP
        e := els[at];
        IF left(e, 1) = '"' THEN
            FOR k IN 2 .. length(e) LOOP
                EXIT WHEN i > n;
                m := substr(e, k, 1);
                c := substr(t, i, 1);
                IF upper(c COLLATE "C") = upper(m COLLATE "C")
                   OR (NOT tipdesk_ora.is_word_char(m) AND NOT tipdesk_ora.is_word_char(c)) THEN
                    i := i + 1;
                ELSIF tipdesk_ora.is_word_char(m) THEN
                    RAISE EXCEPTION '%', 'ORA-01861: literal does not match format string';
                END IF;
            END LOOP;
            CONTINUE;
        END IF;
        CONTINUE WHEN e = 'FM';
        WHILE i <= n AND NOT tipdesk_ora.is_word_char(substr(t, i, 1)) LOOP
            i := i + 1;
        END LOOP;
        IF i > n THEN
            IF EXISTS (SELECT FROM unnest(els[at:]) AS r(x)
                       WHERE left(x, 1) <> '"' AND x NOT IN ('FM', 'HH24', 'HH12', 'MI', 'SS', 'AM')) THEN
                RAISE EXCEPTION '%', 'ORA-01840: input value not long enough for date format';
            END IF;
            EXIT;
        END IF;
        IF e = 'AM' THEN
            word := substr(t, i, 2);
            IF word = '오후' OR upper(word COLLATE "C") = 'PM' THEN
                pm := true;
            ELSIF word <> '오전' AND upper(word COLLATE "C") <> 'AM' THEN
                RAISE EXCEPTION '%', 'ORA-01855: AM/A.M. or PM/P.M. required';
            END IF;
            i := i + length(word);
            CONTINUE;
        END IF;
        width := CASE e WHEN 'YYYY' THEN 4 WHEN 'D' THEN 1 ELSE 2 END;
        v := 0;
        digits := 0;
        WHILE i <= n AND digits < width AND substr(t, i, 1) BETWEEN '0' AND '9' LOOP
            v := v * 10 + ascii(substr(t, i, 1)) - 48;
            i := i + 1;
            digits := digits + 1;
        END LOOP;
        IF digits = 0 THEN
            RAISE EXCEPTION '%', 'ORA-01858: a non-numeric character was found where a numeric was expected';
        END IF;
        CASE e
        WHEN 'YYYY' THEN
            IF v = 0 THEN
                RAISE EXCEPTION '%', 'ORA-01841: (full) year must be between -4713 and +9999, and not be 0';
            END IF;
            y := v;
        WHEN 'YY' THEN
            y := extract(year FROM now)::integer / 100 * 100 + v;
        WHEN 'MM' THEN
            IF v < 1 OR v > 12 THEN
                RAISE EXCEPTION '%', 'ORA-01843: not a valid month';
            END IF;
            mo := v;
        WHEN 'DD' THEN
            IF v < 1 OR v > 31 THEN
                RAISE EXCEPTION '%', 'ORA-01847: day of month must be between 1 and last day of month';
            END IF;
            d := v;
        WHEN 'D' THEN
            IF v < 1 OR v > 7 THEN
                RAISE EXCEPTION '%', 'ORA-01839: date not valid for month specified';
            END IF;
        WHEN 'HH24' THEN
            IF v > 23 THEN
                RAISE EXCEPTION '%', 'ORA-01850: hour must be between 0 and 23';
            END IF;
            hh := v;
        WHEN 'HH12' THEN
            IF v < 1 OR v > 12 THEN
                RAISE EXCEPTION '%', 'ORA-01849: hour must be between 1 and 12';
            END IF;
            hh := v;
            hour12 := true;
        WHEN 'MI' THEN
            IF v > 59 THEN
                RAISE EXCEPTION '%', 'ORA-01851: minutes must be between 0 and 59';
            END IF;
            mi := v;
        WHEN 'SS' THEN
            IF v > 59 THEN
                RAISE EXCEPTION '%', 'ORA-01852: seconds must be between 0 and 59';
            END IF;
            ss := v;
        END CASE;
    END LOOP;
    WHILE i <= n AND substr(t, i, 1) = ' ' LOOP
        i := i + 1;
    END LOOP;
    IF i <= n THEN
        RAISE EXCEPTION '%', 'ORA-01830: date format picture ends before converting entire input string';
    END IF;
    IF hour12 THEN
        hh := hh % 12 + CASE WHEN pm THEN 12 ELSE 0 END;
    END IF;
    IF d > tipdesk_ora.days_in_month(y, mo) THEN
        RAISE EXCEPTION '%', 'ORA-01839: date not valid for month specified';
    END IF;
    RETURN make_timestamp(y, mo, d, hh, mi, ss);
END
$$;

-- The clock: the session's tipdesk.sysdate when a test fixes it, else the local time to the second.
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_sysdate() RETURNS timestamp without time zone
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN coalesce(current_setting('tipdesk.sysdate', true), '') <> ''
            THEN current_setting('tipdesk.sysdate', true)::timestamp(0) without time zone
            ELSE date_trunc('second', localtimestamp) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_to_date(t text, mask text) RETURNS timestamp without time zone
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN t IS NULL OR t = '' OR mask IS NULL THEN NULL
            ELSE tipdesk_ora.parse_date(t, tipdesk_ora.mask_elements(mask), tipdesk_ora.ora_sysdate()) END
$$;

-- A date moved by secs seconds; outside years 1 to 9999 is Oracle's error.
CREATE OR REPLACE FUNCTION tipdesk_ora.moved(d timestamp without time zone, secs float8)
RETURNS timestamp without time zone
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN extract(epoch FROM d) + secs::numeric >= -62135596800
                 AND extract(epoch FROM d) + secs::numeric < 253402300800
            THEN d + make_interval(secs => secs)
            ELSE tipdesk_ora.fail('ORA-01841: (full) year must be between -4713 and +9999, and not be 0',
                                  NULL::timestamp without time zone) END
$$;

-- d + days: whole days exact, a fraction to the nearest second (halves away from zero). Eleven
-- thousand years take any date out of range.
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_date_add(d timestamp without time zone, days numeric)
RETURNS timestamp without time zone
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN d IS NULL OR days IS NULL THEN NULL
            WHEN abs(days) >= 4e6 THEN tipdesk_ora.moved(d, 4e11)
            WHEN days = trunc(days) THEN tipdesk_ora.moved(d, (days * 86400)::float8)
            ELSE tipdesk_ora.moved(d, trunc(days::float8 * 86400)
                                      + CASE WHEN abs(days::float8 * 86400 - trunc(days::float8 * 86400)) >= 0.5
                                             THEN sign(days::float8) ELSE 0 END) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.days_of(secs numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN mod(secs, 86400) = 0 THEN div(secs, 86400) ELSE tipdesk_ora.real_num(secs::float8 / 86400) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_date_diff(a timestamp without time zone, b timestamp without time zone)
RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.days_of(extract(epoch FROM a) - extract(epoch FROM b))
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_trunc_date(d timestamp without time zone) RETURNS timestamp without time zone
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT date_trunc('day', d)
$$;

-- The bounds of the dates whose day key ('YYYYMMDD') is at least (is_upper = 0) or at most (1) the
-- key: the first or the last second of the nearest real day on that side, as the embedded side
-- compares the date's text with the key's. A key that is no eight digits bounds nothing.
CREATE OR REPLACE FUNCTION tipdesk_ora.day_bound(y integer, m integer, d integer, is_upper boolean)
RETURNS timestamp without time zone
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN y = 0 THEN '-infinity'::timestamp
            WHEN m = 0 AND is_upper AND y = 1 THEN '-infinity'::timestamp
            WHEN m = 0 THEN CASE WHEN is_upper THEN make_timestamp(y - 1, 12, 31, 23, 59, 59)
                                 ELSE make_timestamp(y, 1, 1, 0, 0, 0) END
            WHEN m > 12 THEN CASE WHEN is_upper THEN make_timestamp(y, 12, 31, 23, 59, 59)
                                  ELSE make_timestamp(y + 1, 1, 1, 0, 0, 0) END
            WHEN is_upper THEN make_date(y, m, 1) + (least(d, tipdesk_ora.days_in_month(y, m)) - 1)
                               + time '23:59:59'
            ELSE make_date(y, m, 1) + greatest(0, least(d - 1, tipdesk_ora.days_in_month(y, m))) + time '00:00' END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_daykey_bound(k text, is_upper integer) RETURNS timestamp without time zone
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN k ~ '^[0-9]{8}$'
            THEN tipdesk_ora.day_bound(substr(k, 1, 4)::integer, substr(k, 5, 2)::integer, substr(k, 7, 2)::integer,
                                       is_upper <> 0)
            WHEN is_upper <> 0 THEN 'infinity'::timestamp
            ELSE '-infinity'::timestamp END
$$;

-- Under C collation every text that starts with t sorts below t followed by the last code point.
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_prefix_end(t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT t || E'\U0010FFFF'
$$;

-- Raised with every change to this script; the backend runs the script when the server's differs.
CREATE OR REPLACE FUNCTION tipdesk_ora.version() RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT 2
$$;
