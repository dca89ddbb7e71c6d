insert into stat_hub_rpt (stat_day, rpt_id, rpt_name, report_count)
select to_char(report_date, 'YYYYMMDD'), individual_id, max(reporter_name), count(*) from report_requisition
 where to_char(report_date, 'YYYYMMDD') between :a and :b group by to_char(report_date, 'YYYYMMDD'), individual_id
