select substr(comments, :a, :b), substr(:c, speed), length(comments), concat(reporter_name, :c) || :a,
       upper(comments), trim(:c), ltrim(comments), decode(reporter_type, :a, 1, '6', :b, 8, comments, null)
  from report_requisition where comments like :c or reporter_name in (:a, :b)
