-- The statements the system runs that do not live in a report layout yet, as they stand in their
-- forms; composed ones with sample values. The report kinds' statements are read from their
-- layouts (resources/reports). Blocks start with a line "-- @ name".
-- @ reception register
select REQUISITION_NUM, seq_num,
TO_CHAR(report_date, 'MM-DD') DDay,
TO_CHAR(report_date, 'HH24:MI') DTime,
comments,
decode(incident_type, '1','공사','2','행사','3','사고','4','기상','A','원활','B','안내','Z','기타','E','정체','D','기관') incident_type,
reporter_name,
individual_id,
decode(reporter_type, '1','통신원','2','경찰제보처','3','시민','4','직원',
                 '5','운영자','6','고정제보처','7','기타',8,'기관',
                 'Z','기타') reporter_type,
decode(send_flag, '1','*', '0','') send_flag,
decode(broad_flag, '1','*','0','') broad_flag,
operator_name
 from report_requisition
 where reporter_type not in ('6')
and TO_DATE(:Curr_Day, 'YYYYMMDD')
 =TO_DATE(TO_CHAR(report_date, 'YYYYMMDD'), 'YYYYMMDD')
 order by seq_num
-- @ fixed point register
select REQUISITION_NUM,
      TO_CHAR(report_date, 'MM    DD') report_day,
      TO_CHAR(report_date, 'HH24    MI') report_time,
      comments,
      decode(incident_type, '1','공사','2','행사','3','사고','4','기상',
             'A','원활','B','안내','Z','기타','E','정체','D','기관') incident_type,
      reporter_name,
      individual_id,
      decode(reporter_type, '1','통신원','2','경찰제보처','3','시민','4','직원',
                 '5','운영자','6','고정제보처','7','기타',8,'기관',
                 'Z','기타') reporter_type,
      decode(send_flag, '1','*', '0','') send_flag,
      decode(broad_flag, '1','*','0','') broad_flag,
      operator_name
From report_requisition
Where reporter_type='6'
  and TO_DATE(:CURR_DAY, 'YYYYMMDD')
    = TO_DATE(TO_CHAR(report_date, 'YYYYMMDD'), 'YYYYMMDD')
   And INDIVIDUAL_ID in ( Select INDIVIDUAL_ID From INDIVIDUAL Where CUR = 'Y' )
Order by seq_num
-- @ guidance register
select REQUISITION_NUM, SEQ_NUM,
  TO_CHAR(REPORT_DATE, 'MM   DD') DDay,
  TO_CHAR(REPORT_DATE, 'HH24   MI') DTime,
  comments,
  decode(INCIDENT_TYPE, 'B','안내','D','기관 통보') INCIDENT_TYPE,
   INCIDENT_SUBTYPE, REPORTER_NAME,
  OPERATOR_NAME
from REPORT_REQUISITION
where INCIDENT_TYPE in ('B', 'D')
and TO_DATE(:Curr_Day, 'YYYYMMDD')
 =TO_DATE(TO_CHAR(REPORT_DATE, 'YYYYMMDD'), 'YYYYMMDD')
order by SEQ_NUM
-- @ guidance detail codes
Select * From BASE_CODE
Where BAS_LCOD = '100'
-- @ lost property register
select REQUISITION_NUM, seq_num,
       concat( concat( concat( TO_CHAR(report_date, 'MM'),'월'),TO_CHAR(report_date, 'DD')),'일') MMDD,
       concat( concat( concat( TO_CHAR(report_date, 'HH24'),'시'),TO_CHAR(report_date, 'MI')),'분') HHMI,
       comments,
       reporter_name,
       decode(SPEED, '1', '분실',
                     '2', '습득',
                     '3', '도난차량',
                     '4', '기타',
                     '5', '분실(처리)',
                     '6', '습득(처리)',
                     '7', '도난차량(처리)',
                     '8', '기타(처리)' ) SPEED_T,
       decode(reporter_type, '1','통신원','2','경찰제보처','3','시민','4','직원',
                 '5','운영자','6','고정제보처','7','기타',8,'기관',
                 'Z','기타') reporter_type,
                 operator_name
from report_requisition
where SPEED <> 0
  and TO_DATE(:Curr_Day, 'YYYYMMDD')
    = TO_DATE(TO_CHAR(report_date, 'YYYYMMDD'), 'YYYYMMDD')
order by seq_num
-- @ reporter type totals
select  nvl(sum(total), 0) tot,
        nvl(sum(reporter1), 0) tot_com,
        concat( trunc( decode(nvl(sum(reporter1), 0),0,0.0,nvl(nvl(sum(reporter1), 0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_com,
        nvl(sum(reporter2), 0) tot_citi,
        concat( trunc( decode(nvl(sum(reporter2), 0),0,0.0,nvl(nvl(sum(reporter2), 0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_citi,
        nvl(sum(reporter3), 0) tot_fix,
        concat( trunc( decode(nvl(sum(reporter3), 0),0,0.0,nvl(nvl(sum(reporter3), 0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_fix,
        nvl(sum(reporter4), 0) tot_comp,
        concat( trunc( decode(nvl(sum(reporter4), 0),0,0.0,nvl(nvl(sum(reporter4), 0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_comp,
        nvl(sum(reporter5), 0) tot_police,
        concat( trunc( decode(nvl(sum(reporter5), 0),0,0.0,nvl(nvl(sum(reporter5), 0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_police,
        nvl(sum(reporter6), 0) tot_etc,
        concat( trunc( decode(nvl(sum(reporter6), 0),0,0.0,nvl(nvl(sum(reporter6), 0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_etc
from    stat_hub
where   stat_day >= :start_day
and     stat_day <= :end_day
-- @ reporter type by day
select  stat_day, substr(to_char(to_date(stat_day, 'yyyymmdd'), 'DAY'),1,1) str_week, total,
        reporter1, concat( trunc( nvl(reporter1 / total * 100 , 0),1), '%' ) str_com,
        reporter2, concat( trunc( nvl(reporter2 / total * 100 , 0),1), '%' ) str_citi,
        reporter3, concat( trunc( nvl(reporter3 / total * 100 , 0),1), '%' ) str_fix,
        reporter4, concat( trunc( nvl(reporter4 / total * 100 , 0),1), '%' ) str_comp,
        reporter5, concat( trunc( nvl(reporter5 / total * 100 , 0),1), '%' ) str_police,
        reporter6, concat( trunc( nvl(reporter6 / total * 100 , 0),1), '%' ) str_etc
from    stat_hub
where   stat_day >= :start_day
and     stat_day <= :end_day
ORDER BY stat_day
-- @ handling totals
select  nvl(sum(total), 0) tot,
        nvl(sum(result1), 0) tot_self,
        concat( trunc( decode(nvl(sum(result1), 0),0,0.0,nvl(nvl(sum(result1), 0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_self,
        nvl(sum(result2), 0) tot_broad,
        concat( trunc( decode(nvl(sum(result2), 0),0,0.0,nvl(nvl(sum(result2), 0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_broad,
        nvl(sum(result3), 0) tot_NBroad,
        concat( trunc( decode(nvl(sum(result3), 0),0,0.0,nvl(nvl(sum(result3), 0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_nbroad,
        nvl(sum(result2+result3), 0) tot_BB,
        concat( trunc( decode(nvl(sum(result2+result3), 0),0,0.0,nvl(nvl(sum(result2), 0) / nvl(sum(result2+result3), 0) * 100 , 0)),1),'%') TOT_PBB
from    stat_hub
where   stat_day >= :start_day
and     stat_day <= :end_day
-- @ handling by day
select  stat_day, substr(to_char(to_date(stat_day, 'yyyymmdd'), 'DAY'),1,1) str_week, total,
        result1, concat( trunc( (result1 / total * 100 ),1),'%') str_self,
        result2, concat( trunc( (result2 / total * 100 ),1),'%') str_broad,
        result3, concat( trunc( (result3 / total * 100 ),1),'%') str_nbroad,
        Result2+Result3 BB,
        concat( trunc( ( result2/ ( result2+result3) * 100 ),1),'%') str_BB_PER
from    stat_hub
where   stat_day >= :start_day
and     stat_day <= :end_day
ORDER BY stat_day
-- @ content totals
select  nvl(sum(total), 0) tot,
        nvl(sum(content3), 0) tot_cons,
        concat(trunc( decode(nvl(sum(content3),0),0,0.0,nvl(nvl(sum(content3),0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_cons,
        nvl(sum(content4), 0) tot_event,
        concat(trunc( decode(nvl(sum(content4),0),0,0.0,nvl(nvl(sum(content4),0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_event,
        nvl(sum(content5), 0) tot_Acci,
        concat(trunc( decode(nvl(sum(content5),0),0,0.0,nvl(nvl(sum(content5),0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_acci,
        nvl(sum(content6), 0) tot_Clim,
        concat(trunc( decode(nvl(sum(content6),0),0,0.0,nvl(nvl(sum(content6),0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_clim,
        nvl(sum(content1), 0) tot_flow,
        concat(trunc( decode(nvl(sum(content1),0),0,0.0,nvl(nvl(sum(content1),0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_flow,
        nvl(sum(content2), 0) tot_Inform,
        concat(trunc( decode(nvl(sum(content2),0),0,0.0,nvl(nvl(sum(content2),0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_inform,
        nvl(sum(content7), 0) tot_etc,
        concat(trunc( decode(nvl(sum(content7),0),0,0.0,nvl(nvl(sum(content7),0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_etc,
        nvl(sum(content8), 0) tot_cnt8,
        concat(trunc( decode(nvl(sum(content8),0),0,0.0,nvl(nvl(sum(content8),0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_cnt8,
        nvl(sum(content9), 0) tot_cnt9,
        concat(trunc( decode(nvl(sum(content9),0),0,0.0,nvl(nvl(sum(content9),0) / nvl(sum(total), 0) * 100 , 0)),1),'%') str_cnt9
from    stat_hub
where   stat_day >= :start_day
and     stat_day <= :end_day
-- @ content by day
select  stat_day, substr(to_char(to_date(stat_day, 'yyyymmdd'), 'DAY'),1,1) str_week, total,
        content3, concat(trunc( decode(content3,0,0.0,content3 / total * 100 ),1),'%') str_cons,
        content4, concat(trunc( decode(content4,0,0.0,content4 / total * 100 ),1),'%') str_event,
        content5, concat(trunc( decode(content5,0,0.0,content5 / total * 100 ),1),'%') str_acci,
        content6, concat(trunc( decode(content6,0,0.0,content6 / total * 100 ),1),'%') str_clim,
        content1, concat(trunc( decode(content1,0,0.0,content1 / total * 100 ),1),'%') str_flow,
        content2, concat(trunc( decode(content2,0,0.0,content2 / total * 100 ),1),'%') str_inform,
        content7, concat(trunc( decode(content7,0,0.0,content7 / total * 100 ),1),'%') str_etc,
        content8, concat(trunc( decode(content8,0,0.0,content8 / total * 100 ),1),'%') str_cnt8,
        content9, concat(trunc( decode(content9,0,0.0,content9 / total * 100 ),1),'%') str_cnt9
from    stat_hub
where   stat_day >= :start_day
and     stat_day <= :end_day
ORDER BY stat_day
-- @ hour band totals
select  nvl(sum(total), 0) tot,
        nvl(sum(time06), 0) tot06, nvl(sum(time07), 0) tot07,
        nvl(sum(time08), 0) tot08, nvl(sum(time09), 0) tot09,
        nvl(sum(time10), 0) tot10, nvl(sum(time11), 0) tot11,
        nvl(sum(time12), 0) tot12, nvl(sum(time13), 0) tot13,
        nvl(sum(time14), 0) tot14, nvl(sum(time15), 0) tot15,
        nvl(sum(time16), 0) tot16, nvl(sum(time17), 0) tot17,
        nvl(sum(time18), 0) tot18, nvl(sum(time19), 0) tot19,
        nvl(sum(time20), 0) tot20, nvl(sum(time21), 0) tot21
from    stat_hub 
where   stat_day >= :start_day
and     stat_day <= :end_day
-- @ hour band by day
select  stat_day, substr(to_char(to_date(stat_day, 'yyyymmdd'), 'DAY'),1,1)  str_week, total,
       time06, time07, time08, time09, time10, time11, time12, time13,
       time14, time15, time16, time17, time18, time19, time20, time21,
       time06+time07+time08+time09+time10+time11+time12+time13 sum_am,
       time14+time15+time16+time17+time18+time19+time20+time21 sum_pm
from   stat_hub
where  stat_day >= :start_day
and    stat_day <= :end_day
order by stat_day
-- @ correspondents by organisation
Select ROLE.REPORTER_ID,ROLE.REPORTER_NAME,
       ROLE.ROLE_ID, ORG.NAME,
       SUM( ROLE.REPORT_COUNT ) RCO, t1.S_R S_R
from STAT_HUB_ROLE ROLE, ORGANIZATION ORG,
     ( Select role_id, sum( Report_count ) S_R From stat_hub_role
       where stat_day >= :stat_day
         and STAT_DAY <= :end_day
       group by role_id ) T1
Where ROLE.ROLE_ID = ORG.ORGANIZATION_ID(+)
  and role.role_id = t1.role_id(+)
  and ROLE.STAT_DAY >= :stat_day
  and ROLE.STAT_DAY <= :end_day
  And role.Reporter_id in ( Select INDIVIDUAL_ID From INDIVIDUAL Where CUR = 'Y' )
group by ROLE.ROLE_ID, ROLE.reporter_ID, ROLE.REPORTER_NAME, ORG.NAME, t1.S_R
order by ROLE.ROLE_ID,RCO desc
-- @ account lookup
SELECT * FROM USER_MANAGE
-- @ operator names
 select individual_name from individual where  type = '5' or type = 'A'
-- @ browser plain
 select ROWNUM,seq_num,x.*,  decode(reporter_type, '1' , '통신원' , '2' , '경찰제보처', '3' , '시민' , '4' , '직원', '5' , '운영자' , '6' , '고정제보처', '7' , '기타' , '8' , '기관' ,'Z' , '기타') repo_type, decode(INCIDENT_TYPE, '1' , '공사' , '2' , '행사','E' , '정체','D' , '기관', '3' , '사고' , '4' , '기상','A' , '원활', 'B' , '안내',  'Z' , '기타' ) inci_type, TO_CHAR(x.REPORT_DATE,'YYYY-MM-DD HH24:MI') REPO_DATE,  TO_CHAR(x.REGISTE_DATE,'YYYY-MM-DD HH24:MI') REGI_DATE  from  REPORT_REQUISITION x  where  x.REPORT_DATE >= to_date('2004-01-07 09:00','YYYY-MM-DD HH24:MI') and x.REPORT_DATE <= to_date('2004-01-07 10:00','YYYY-MM-DD HH24:MI') Order By REPORT_DATE
-- @ browser criteria
 select ROWNUM,seq_num,x.*,  decode(reporter_type, '1' , '통신원' , '2' , '경찰제보처', '3' , '시민' , '4' , '직원', '5' , '운영자' , '6' , '고정제보처', '7' , '기타' , '8' , '기관' ,'Z' , '기타') repo_type, decode(INCIDENT_TYPE, '1' , '공사' , '2' , '행사','E' , '정체','D' , '기관', '3' , '사고' , '4' , '기상','A' , '원활', 'B' , '안내',  'Z' , '기타' ) inci_type, TO_CHAR(x.REPORT_DATE,'YYYY-MM-DD HH24:MI') REPO_DATE,  TO_CHAR(x.REGISTE_DATE,'YYYY-MM-DD HH24:MI') REGI_DATE  from  REPORT_REQUISITION x  where  x.REPORT_DATE >= to_date('2004-01-07 09:00','YYYY-MM-DD HH24:MI') and x.REPORT_DATE <= to_date('2004-01-07 10:00','YYYY-MM-DD HH24:MI') and  REPORTER_TYPE = '3' and ( x.BROAD_FLAG <> '1' Or x.BROAD_FLAG is Null ) and x.SEND_FLAG = '1'  Order By REPORT_DATE
-- @ browser operator
 select ROWNUM,seq_num,x.*,  decode(reporter_type, '1' , '통신원' , '2' , '경찰제보처', '3' , '시민' , '4' , '직원', '5' , '운영자' , '6' , '고정제보처', '7' , '기타' , '8' , '기관' ,'Z' , '기타') repo_type, decode(INCIDENT_TYPE, '1' , '공사' , '2' , '행사','E' , '정체','D' , '기관', '3' , '사고' , '4' , '기상','A' , '원활', 'B' , '안내',  'Z' , '기타' ) inci_type, TO_CHAR(x.REPORT_DATE,'YYYY-MM-DD HH24:MI') REPO_DATE,  TO_CHAR(x.REGISTE_DATE,'YYYY-MM-DD HH24:MI') REGI_DATE  from  REPORT_REQUISITION x  where  x.REPORT_DATE >= to_date('2004-01-07 09:00','YYYY-MM-DD HH24:MI') and x.REPORT_DATE <= to_date('2004-01-07 10:00','YYYY-MM-DD HH24:MI') and  OPERATOR_NAME = '김접수' and x.SEND_FLAG <> '1'  Order By REPORT_DATE
-- @ message
SELECT M_TITLE, M_DESC
  FROM MESSAGE
WHERE M_CODE = :ErrCode
-- @ login check
SELECT * FROM USER_MANAGE
WHERE USERID = :UserID
AND      USERPASS = :UserPass
AND      APPNAME = :AppName
-- @ usage record
INSERT INTO USER_RECORD
               (RECORDDATE, USERID, IPADDRESS, APPNAME, ACTION)
VALUES (SYSDATE, :UserID, :IPaddr, :AppName, :Action)
-- @ period reference day
SELECT decode(TO_CHAR(SYSDATE,'yyyymmdd'),'20040107', TO_CHAR(SYSDATE-1,'yyyymmdd'),'20040107') FROM DUAL
-- @ period day of week
SELECT TO_CHAR(  TO_DATE('20040107', 'yyyymmdd'), 'D') FROM DUAL
-- @ period week start
SELECT TO_CHAR((TO_DATE('20040107', 'yyyymmdd') -(TO_NUMBER(TO_CHAR( TO_DATE('20040107', 'yyyymmdd'), 'D'))) + 2 - 7  ), 'yyyymmdd') FROM DUAL
-- @ period week end sunday
SELECT TO_CHAR((TO_DATE('20040111', 'yyyymmdd') -(TO_NUMBER(TO_CHAR( TO_DATE('20040111', 'yyyymmdd'), 'D'))) + 2 - 1  - 7 ), 'yyyymmdd') FROM DUAL
-- @ period month
SELECT TO_CHAR(( TO_DATE('20040107', 'yyyymmdd')  - (TO_NUMBER(TO_CHAR( TO_DATE('20040107', 'yyyymmdd')  , 'DD')) )), 'yyyymm') FROM DUAL