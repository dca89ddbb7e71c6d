select * from stat_hub_rpt r, individual i, role o where r.rpt_id = i.individual_id(+) and i.individual_id = o.individual_id(+)
   and substr(r.stat_day, 1, 6) = :m and rownum <= 5
