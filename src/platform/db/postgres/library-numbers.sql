-- Numbers beyond arithmetic: MOD, POWER, SQRT, CEIL, FLOOR, SIGN, GREATEST, LEAST.
-- Run after oracle-functions.sql, whose helpers they use; they give the embedded engine's results
-- (src/platform/db/OracleNumbers.cpp): whole numbers that fit 64 bits exact, any other value a
-- double brought to 15 significant digits (tipdesk_ora.ora_num).

-- MOD exactly in decimal, on the values as the embedded side holds them (ora_num): the sign of m,
-- MOD(m, 0) = m.
CREATE OR REPLACE FUNCTION tipdesk_ora.mod_of(m numeric, n numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN n = 0 THEN m ELSE mod(m, n) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_mod(m numeric, n numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.ora_num(tipdesk_ora.mod_of(tipdesk_ora.ora_num(m), tipdesk_ora.ora_num(n)))
$$;

-- ORA-01428 with Oracle's text of the argument.
CREATE OR REPLACE FUNCTION tipdesk_ora.out_of_range(v numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.fail('ORA-01428: argument ''' || tipdesk_ora.ora_num_text(v) || ''' is out of range', NULL::numeric)
$$;

-- A double power whose result may leave the range of a double: overflow is Oracle's error,
-- underflow 0.
CREATE OR REPLACE FUNCTION tipdesk_ora.wide_power(x float8, y float8) RETURNS numeric
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
BEGIN
    RETURN tipdesk_ora.finite_num(power(x, y));
EXCEPTION WHEN numeric_value_out_of_range THEN
    IF (abs(x) > 1) = (y > 0) THEN
        RAISE EXCEPTION '%', 'ORA-01426: numeric overflow';
    END IF;
    RETURN 0;
END
$$;

-- POWER: a whole base to a whole exponent exactly while the result fits 64 bits, else in doubles.
CREATE OR REPLACE FUNCTION tipdesk_ora.power_of(m numeric, n numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN m < 0 AND n <> trunc(n) THEN tipdesk_ora.out_of_range(m)
            WHEN m = 0 AND n < 0 THEN tipdesk_ora.out_of_range(m)
            WHEN n = 0 THEN 1
            WHEN m = 0 THEN 0
            WHEN m IN (0, 1) AND tipdesk_ora.is_int(m) AND tipdesk_ora.is_int(n) AND n > 0 THEN m
            WHEN m = -1 AND tipdesk_ora.is_int(m) AND tipdesk_ora.is_int(n) AND n > 0 THEN CASE WHEN mod(n, 2) = 0 THEN 1 ELSE -1 END
            WHEN tipdesk_ora.is_int(m) AND tipdesk_ora.is_int(n) AND n > 0 AND n < 64
                 AND tipdesk_ora.is_int(power(m, n)) THEN power(m, n)
            WHEN abs(n::float8 * log(abs(m::float8))) < 300 THEN tipdesk_ora.real_num(power(m::float8, n::float8))
            ELSE tipdesk_ora.wide_power(m::float8, n::float8) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_power(m numeric, n numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.ora_num(tipdesk_ora.power_of(tipdesk_ora.ora_num(m), tipdesk_ora.ora_num(n)))
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_sqrt(x numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN x IS NULL THEN NULL
            WHEN x < 0 THEN tipdesk_ora.out_of_range(tipdesk_ora.ora_num(x))
            ELSE tipdesk_ora.ora_num(tipdesk_ora.real_num(sqrt(x::float8))) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_ceil(x numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.ora_num(ceil(tipdesk_ora.ora_num(x)))
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_floor(x numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.ora_num(floor(tipdesk_ora.ora_num(x)))
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_sign(x numeric) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT trim_scale(sign(tipdesk_ora.ora_num(x)))
$$;

-- GREATEST and LEAST. The generator has converted every argument to the first one's type: numbers
-- compare by value, text by code point (the C collation's byte order), dates as timestamps. Any
-- null, and the empty text, gives null. Untyped literals resolve to the text overloads.
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_greatest(VARIADIC v numeric[]) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN count(x) = count(*) THEN tipdesk_ora.ora_num(max(x)) END FROM unnest(v) AS u(x)
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_least(VARIADIC v numeric[]) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN count(x) = count(*) THEN tipdesk_ora.ora_num(min(x)) END FROM unnest(v) AS u(x)
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_greatest(VARIADIC v text[]) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN count(NULLIF(x, '')) = count(*) THEN max(x COLLATE "C") END FROM unnest(v) AS u(x)
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_least(VARIADIC v text[]) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN count(NULLIF(x, '')) = count(*) THEN min(x COLLATE "C") END FROM unnest(v) AS u(x)
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_greatest(VARIADIC v timestamp without time zone[])
RETURNS timestamp without time zone
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN count(x) = count(*) THEN max(x) END FROM unnest(v) AS u(x)
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_least(VARIADIC v timestamp without time zone[])
RETURNS timestamp without time zone
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN count(x) = count(*) THEN min(x) END FROM unnest(v) AS u(x)
$$;
