-- Calendar functions of DATE values: ADD_MONTHS, LAST_DAY, MONTHS_BETWEEN, EXTRACT, TRUNC and ROUND.
-- Run after oracle-functions.sql, whose helpers they use; they give the embedded engine's results.

-- A date within the years 1 to 9999, or Oracle's error.
CREATE OR REPLACE FUNCTION tipdesk_ora.in_years(d timestamp without time zone) RETURNS timestamp without time zone
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN d >= '0001-01-01' AND d < '10000-01-01' THEN d
            ELSE tipdesk_ora.fail('ORA-01841: (full) year must be between -4713 and +9999, and not be 0',
                                  NULL::timestamp without time zone) END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.is_last_day(d timestamp without time zone) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT extract(day FROM d) = tipdesk_ora.days_in_month(extract(year FROM d)::integer, extract(month FROM d)::integer)
$$;

-- d moved by months (n without its fraction); the last day of a month, or a day the target month
-- lacks, becomes the target month's last day. The time of day stays.
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_add_months(d timestamp without time zone, n numeric)
RETURNS timestamp without time zone
LANGUAGE plpgsql STABLE STRICT PARALLEL SAFE AS $$
DECLARE
    idx bigint := extract(year FROM d)::bigint * 12 + extract(month FROM d)::bigint - 1
                  + trunc(greatest(-200000, least(200000, n)))::bigint;
    y bigint := floor(idx / 12.0)::bigint;
    m integer;
    last_day integer;
BEGIN
    IF y < 1 OR y > 9999 THEN
        RAISE EXCEPTION '%', 'ORA-01841: (full) year must be between -4713 and +9999, and not be 0';
    END IF;
    m := (idx - y * 12)::integer + 1;
    last_day := tipdesk_ora.days_in_month(y::integer, m);
    RETURN make_date(y::integer, m, CASE WHEN tipdesk_ora.is_last_day(d) THEN last_day
                                         ELSE least(extract(day FROM d)::integer, last_day) END) + d::time;
END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_last_day(d timestamp without time zone) RETURNS timestamp without time zone
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT date_trunc('month', d) + interval '1 month' - interval '1 day' + d::time
$$;

-- Whole months when both dates are the same day of the month or both last days; otherwise the days
-- and time of day between them as a fraction of a 31-day month, in float8 as the embedded side.
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_months_between(a timestamp without time zone, b timestamp without time zone)
RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN extract(day FROM a) = extract(day FROM b) OR (tipdesk_ora.is_last_day(a) AND tipdesk_ora.is_last_day(b))
            THEN (extract(year FROM a) - extract(year FROM b)) * 12 + extract(month FROM a) - extract(month FROM b)
            ELSE tipdesk_ora.real_num(((extract(year FROM a) - extract(year FROM b)) * 12
                                       + extract(month FROM a) - extract(month FROM b))::float8
                                      + (extract(epoch FROM a::time - b::time)
                                         + (extract(day FROM a) - extract(day FROM b)) * 86400)::float8 / 2678400) END
$$;

-- EXTRACT(field FROM date): a DATE is an ANSI date to EXTRACT, so only YEAR, MONTH and DAY.
CREATE OR REPLACE FUNCTION tipdesk_ora.ora_extract(field text, d timestamp without time zone) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT CASE WHEN field IS NULL THEN NULL
            WHEN upper(field) NOT IN ('YEAR', 'MONTH', 'DAY')
                THEN tipdesk_ora.fail('ORA-30076: invalid extract field for extract source', NULL::numeric)
            WHEN upper(field) = 'YEAR' THEN extract(year FROM d)
            WHEN upper(field) = 'MONTH' THEN extract(month FROM d)
            ELSE extract(day FROM d) END
$$;

-- The unit of a TRUNC or ROUND format: C Y Q M WW IW W D DD HH MI, or null for no date format.
CREATE OR REPLACE FUNCTION tipdesk_ora.date_unit(format text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN f IN ('CC', 'SCC') THEN 'C'
            WHEN f IN ('SYYYY', 'YYYY', 'YEAR', 'SYEAR', 'YYY', 'YY', 'Y') THEN 'Y'
            WHEN f = 'Q' THEN 'Q'
            WHEN f IN ('MONTH', 'MON', 'MM', 'RM') THEN 'M'
            WHEN f IN ('WW', 'IW', 'W', 'MI') THEN f
            WHEN f IN ('DDD', 'DD', 'J') THEN 'DD'
            WHEN f IN ('DAY', 'DY', 'D') THEN 'D'
            WHEN f IN ('HH', 'HH12', 'HH24') THEN 'HH' END
FROM (SELECT upper(format) AS f) AS u
$$;

-- The start of the unit d lies in. Weeks of WW start on the weekday of January 1, those of W on the
-- weekday of the month's first day, IW on Monday, D on Sunday (the territory's first day).
CREATE OR REPLACE FUNCTION tipdesk_ora.unit_start(d timestamp without time zone, unit text)
RETURNS timestamp without time zone
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE unit
           WHEN 'C' THEN make_date((extract(year FROM d)::integer - 1) / 100 * 100 + 1, 1, 1)::timestamp
           WHEN 'Y' THEN date_trunc('year', d)
           WHEN 'Q' THEN date_trunc('quarter', d)
           WHEN 'M' THEN date_trunc('month', d)
           WHEN 'WW' THEN date_trunc('day', d) - (extract(doy FROM d)::integer - 1) % 7 * interval '1 day'
           WHEN 'IW' THEN date_trunc('day', d) - (extract(isodow FROM d)::integer - 1) * interval '1 day'
           WHEN 'W' THEN date_trunc('day', d) - (extract(day FROM d)::integer - 1) % 7 * interval '1 day'
           WHEN 'D' THEN date_trunc('day', d) - extract(dow FROM d)::integer * interval '1 day'
           WHEN 'DD' THEN date_trunc('day', d)
           WHEN 'HH' THEN date_trunc('hour', d)
           ELSE date_trunc('minute', d) END
$$;

-- The length of a unit; ROUND goes up from half of it: July 1, the 16th day of a quarter's second
-- month, a month's 16th day, half a week, noon, half an hour or minute.
CREATE OR REPLACE FUNCTION tipdesk_ora.unit_length(unit text, half boolean) RETURNS interval
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE unit
           WHEN 'C' THEN CASE WHEN half THEN interval '50 years' ELSE interval '100 years' END
           WHEN 'Y' THEN CASE WHEN half THEN interval '6 months' ELSE interval '1 year' END
           WHEN 'Q' THEN CASE WHEN half THEN interval '1 month 15 days' ELSE interval '3 months' END
           WHEN 'M' THEN CASE WHEN half THEN interval '15 days' ELSE interval '1 month' END
           WHEN 'DD' THEN CASE WHEN half THEN interval '12 hours' ELSE interval '1 day' END
           WHEN 'HH' THEN CASE WHEN half THEN interval '30 minutes' ELSE interval '1 hour' END
           WHEN 'MI' THEN CASE WHEN half THEN interval '30 seconds' ELSE interval '1 minute' END
           ELSE CASE WHEN half THEN interval '3 days 12 hours' ELSE interval '7 days' END END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.trunc_or_round_date(d timestamp without time zone, format text, up boolean)
RETURNS timestamp without time zone
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
DECLARE
    unit constant text := tipdesk_ora.date_unit(format);
    start timestamp without time zone;
BEGIN
    IF d IS NULL OR format IS NULL THEN
        RETURN NULL;
    ELSIF unit IS NULL THEN
        RAISE EXCEPTION '%', 'ORA-01821: date format not recognized';
    END IF;
    start := tipdesk_ora.in_years(tipdesk_ora.unit_start(d, unit));
    IF up AND d >= start + tipdesk_ora.unit_length(unit, true) THEN
        RETURN tipdesk_ora.in_years(start + tipdesk_ora.unit_length(unit, false));
    END IF;
    RETURN start;
END
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_trunc_date(d timestamp without time zone, format text)
RETURNS timestamp without time zone
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.trunc_or_round_date(d, format, false)
$$;

CREATE OR REPLACE FUNCTION tipdesk_ora.ora_round_date(d timestamp without time zone, format text)
RETURNS timestamp without time zone
LANGUAGE sql STABLE PARALLEL SAFE AS $$
SELECT tipdesk_ora.trunc_or_round_date(d, format, true)
$$;
