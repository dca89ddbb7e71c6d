select report_date + :a, report_date - :b, registe_date - report_date, trunc(report_date),
       to_char(report_date, 'YYYY-MM-DD HH24:MI:SS D DAY DDD AM'), to_date(:c, 'YYYYMMDD HH24MISS'),
       to_char(sysdate - :a, 'yyyymmdd')
  from report_requisition where report_date between to_date(:d, 'YYYYMMDD') and to_date(:e, 'YYYYMMDD') + 1
