with r as (select report_date, speed, comments from report_requisition where rownum <= :a)
select count(*), sum(nvl2(speed, 1, 0)), max(regexp_substr(comments, '[0-9]+', 1, 2)),
       row_number() over (partition by trunc(report_date, 'IW') order by report_date desc nulls last),
       lpad(initcap(replace(comments, ' ', '_')), 12, '*'), to_char(months_between(report_date, sysdate), 'FM990.00'),
       extract(year from add_months(last_day(report_date), -1)), greatest(mod(speed, 3), sqrt(2), 1)
  from r, (select level n from dual connect by level <= 3)
 where speed > 0 or trim(leading '0' from speed) like '1\_%' escape '\'
 group by report_date order by 1 nulls first
